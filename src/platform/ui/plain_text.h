#pragma once

#include <QString>

class QTextDocument;

namespace platform {

// The text of a plain-text document with every character kept (toPlainText() would turn
// no-break spaces into blanks) and every line break as "\n", which is all other programs
// reading the note file know.
QString plainText(const QTextDocument& document);

}  // namespace platform
