#pragma once

#include <QString>
#include <QStringList>

namespace platform::command_line {

// Command-line texts as a Run entry holds them, with the Windows rules: blanks separate
// arguments outside double quotes; 2n backslashes before a quote give n backslashes and the quote
// opens or closes a quoted part, 2n+1 give n backslashes and a literal quote; other backslashes are
// literal. Unlike Windows the program name follows the same rules, since a path here may hold
// quotes.
QStringList split(const QString& commandLine);

// One argument in double quotes, escaped so that split() gives it back.
QString quoted(const QString& argument);

// Arguments joined by blanks, quoted where needed.
QString join(const QStringList& arguments);

}  // namespace platform::command_line
