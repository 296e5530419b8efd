#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace platform {

// Rewrites a page from outside into markup the rich-text engine lays out safely: every tag is
// written again in one plain form (comments, declarations and stray '<' become nothing or
// text), each open element is closed explicitly, attributes are bounded in number and length.
// Nothing comes back when the page nests deeper than the engine copes with (deeply nested
// tables overflow its stack; unmatched end tags make its parser quadratic) or has too many
// tags or too much style sheet text.
std::optional<QString> tameMarkup(QStringView page);

}  // namespace platform
