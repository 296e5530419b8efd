#include "platform/ui/plain_text.h"

#include <QTextDocument>

namespace platform {

QString plainText(const QTextDocument& document) {
    // The raw text marks line breaks as paragraph separators, or line separators for
    // Shift+Enter.
    return document.toRawText()
        .replace(QChar::ParagraphSeparator, u'\n')
        .replace(QChar::LineSeparator, u'\n');
}

}  // namespace platform
