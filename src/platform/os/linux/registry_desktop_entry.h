#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Desktop entry files (freedesktop.org), as far as autostart entries need them.
namespace platform::desktop_entry {

// The Exec value for a command: arguments with reserved characters in double quotes with `"`,
// '`', '$' and '\' escaped, '%' doubled. Still to be escaped with escapeValue().
QString execField(const QStringList& arguments);

// The arguments an Exec value (already unescaped) stands for; field codes other than "%%" give
// nothing, as for a launch without files.
QStringList parseExecField(const QString& exec);

// The key file escapes of string values: \s \n \t \r \\ .
QString escapeValue(const QString& value);
QString unescapeValue(const QString& value);

// The keys of the "Desktop Entry" group with their raw (still escaped) values; the first of
// duplicate keys wins. Empty when the group is missing.
QMap<QString, QString> parseGroup(const QByteArray& file);

}  // namespace platform::desktop_entry
