#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <functional>

// Declarations of the update library (Update).
namespace modUpdate {

// Plain-text update list on the maker's server.
inline constexpr QStringView kUpdateListAddress =
    u"https://www.zettara-6471.example/update/Zettara.txt";

// Hands one update check to the update library and returns at once: the library fetches and
// asks on the application's event loop later. Gives the library's answer, 1 when a check was
// started and 0 when none was (the program does not look at it). A library or entry point that
// cannot be found is skipped silently (0): the check is a courtesy at start-up.
int DoUpdate(const QString& listAddress);

// Where DoUpdate sends its call. The program always calls the library; a test reaches the
// setter through a subclass to see the converted argument without a library.
class UpdateCallSeam {
  protected:
    // An empty function restores the real call.
    static void setUpdateCall(std::function<int(const QByteArray& listAddress)> call);
};

}  // namespace modUpdate
