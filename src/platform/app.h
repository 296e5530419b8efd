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

// The arguments after the program path joined by single blanks.
QString command();
QString commandFrom(const QStringList& arguments);  // arguments[0] is the program

}  // namespace platform::app
