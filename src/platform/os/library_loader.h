#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Loads the program's companion libraries at call time and resolves
// their extern "C" entry points. A library stays loaded for the rest of the run: code inside it
// may leave objects behind that must not outlive their code.
class LibraryLoader {
  public:
    // Entry point `entry` of the library `name` (base name: "Update" is libUpdate.so or
    // Update.dll). A library that cannot be loaded raises errc::libraryNotFound, a missing entry
    // point errc::entryNotFound.
    static QFunctionPointer resolve(const QString& name, const char* entry);

    // Calls `int entry(const char*)` with a zero-terminated narrow text; raises as resolve().
    static int callText(const QString& name, const char* entry, const QByteArray& text);

    // Folders searched for libraries, in order: the program folder, then the installed library
    // folder; only the folder a test chose while it chooses one.
    static QStringList folders();

  protected:
    // Points the loader at one other folder; an empty text restores the usual folders. The
    // program never calls it; a test reaches it through a subclass.
    static void setFolder(const QString& folder);
};

}  // namespace platform
