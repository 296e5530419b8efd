#pragma once

#include <QString>
#include <QStringList>

namespace platform::app {

QString title();        // "Zettara-6471"
int major();            // 3
int minor();            // 0
int revision();         // 0
QString versionText();  // "3.0.0.0"
// The reverse-DNS name of the launcher, the metadata and the icon: "org.zettara.Zettara".
QString applicationId();

// Folder holding the executable, without a trailing separator.
QString path();
// File name of the executable without its extension.
QString exeName();
// Full path of the running executable.
QString exePath();

// The arguments after the program path joined by single blanks, as the program was started:
// options Qt takes for itself (-style fusion) stay part of the text; kNewNoteOption does not.
QString command();
QString commandFrom(const QStringList& arguments);  // arguments[0] is the program
// Asks for a new note on the desktop (the launcher's action), beside any other argument.
inline constexpr char kNewNoteOption[] = "--new-note";
bool newNoteAsked();
// Keeps the command line before QApplication removes its own options from argv.
void keepCommandLine(int argc, const char* const* argv);

}  // namespace platform::app
