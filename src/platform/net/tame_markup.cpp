#include "platform/net/tame_markup.h"

#include <initializer_list>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kMaxDepth = 32;
constexpr int kMaxTags = 2000;
constexpr int kMaxAttributes = 16;
constexpr qsizetype kMaxAttributeChars = 1024;
constexpr qsizetype kMaxStyleSheetChars = 16LL * 1024;

bool isOneOf(QStringView name, std::initializer_list<QStringView> names) {
    for (QStringView candidate : names)
        if (name == candidate) return true;
    return false;
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameChar(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u':' ||
           c == u'.';
}

bool isValidName(QStringView name) {
    if (name.isEmpty() || !isAsciiLetter(name.front())) return false;
    for (QChar c : name)
        if (!isNameChar(c)) return false;
    return true;
}

bool isVoid(QStringView name) {
    return isOneOf(name, {u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input",
                          u"link", u"meta", u"param", u"source", u"track", u"wbr"});
}

class Writer {
  public:
    explicit Writer(qsizetype size) { out_.reserve(size + size / 8); }

    bool open(const QString& name, const QString& attributes, bool selfClosing) {
        closeImplied(name);
        if (selfClosing || isVoid(name)) {
            out_ += u'<' + name + attributes + QLatin1String("/>");
            return true;
        }
        out_ += u'<' + name + attributes + u'>';
        open_.push_back(name);
        return open_.size() <= kMaxDepth;
    }

    void close(QStringView name) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (open_[i] == name) {
                closeDownTo(i);
                return;
            }
        }
    }

    bool text(QStringView text) {
        if (!open_.empty() && open_.back() == u"style") {
            styleSheetChars_ += text.size();
            if (styleSheetChars_ > kMaxStyleSheetChars) return false;
        }
        out_ += text;
        return true;
    }

    QString result() && { return std::move(out_); }

  private:
    // A new row, cell, item or block ends the open one as browsers do; closing it explicitly
    // keeps sloppy pages (unclosed <p>, <td>, <li>) from counting as deep nesting.
    void closeImplied(QStringView name) {
        if (name == u"tr") {
            closeNearest({u"tr"}, {u"table"});
        } else if (isOneOf(name, {u"td", u"th"})) {
            closeNearest({u"td", u"th"}, {u"tr", u"table"});
        } else if (name == u"li") {
            closeNearest({u"li"}, {u"ul", u"ol"});
        } else if (isOneOf(name, {u"dt", u"dd"})) {
            closeNearest({u"dt", u"dd"}, {u"dl"});
        }
        if (isOneOf(name, {u"p", u"div", u"table", u"ul", u"ol", u"dl", u"pre", u"blockquote",
                           u"center", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"})) {
            closeNearest({u"p"}, {u"td", u"th", u"li", u"dt", u"dd", u"div", u"blockquote",
                                  u"center", u"table", u"body", u"html"});
        }
    }

    void closeNearest(std::initializer_list<QStringView> targets,
                      std::initializer_list<QStringView> boundaries) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (isOneOf(open_[i], targets)) {
                closeDownTo(i);
                return;
            }
            if (isOneOf(open_[i], boundaries)) return;
        }
    }

    void closeDownTo(std::size_t index) {
        while (open_.size() > index) {
            out_ += QLatin1String("</") + open_.back() + u'>';
            open_.pop_back();
        }
    }

    QString out_;
    std::vector<QString> open_;
    qsizetype styleSheetChars_ = 0;
};

}  // namespace

std::optional<QString> tameMarkup(QStringView page) {
    const qsizetype n = page.size();
    Writer writer(n);
    int tags = 0;
    qsizetype i = 0;
    while (i < n) {
        if (page[i] != u'<') {
            qsizetype end = page.indexOf(u'<', i);
            if (end < 0) end = n;
            if (!writer.text(page.sliced(i, end - i))) return std::nullopt;
            i = end;
            continue;
        }
        const QStringView rest = page.sliced(i);
        if (rest.startsWith(u"<!--")) {  // comment
            const qsizetype end = page.indexOf(u"-->", i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {  // declaration
            const qsizetype end = page.indexOf(u'>', i);
            i = end < 0 ? n : end + 1;
            continue;
        }
        qsizetype j = i + 1;
        const bool closing = j < n && page[j] == u'/';
        if (closing) ++j;
        const qsizetype nameStart = j;
        while (j < n && isNameChar(page[j]) && page[j] != u':' && page[j] != u'.') ++j;
        const QString name = page.sliced(nameStart, j - nameStart).toString().toLower();
        if (!isValidName(name)) {  // a '<' that starts no tag is text
            if (!writer.text(u"&lt;")) return std::nullopt;
            ++i;
            continue;
        }

        QString attributes;
        int attributeCount = 0;
        bool selfClosing = false;
        bool ended = false;
        while (j < n) {
            const QChar c = page[j];
            if (c.isSpace()) {
                ++j;
            } else if (c == u'>') {
                ++j;
                ended = true;
                break;
            } else if (c == u'/') {
                selfClosing = true;
                ++j;
            } else {
                selfClosing = false;
                const qsizetype keyStart = j;
                while (j < n && !page[j].isSpace() && page[j] != u'>' && page[j] != u'/' &&
                       page[j] != u'=')
                    ++j;
                const QStringView key = page.sliced(keyStart, j - keyStart);
                while (j < n && page[j].isSpace()) ++j;
                QStringView value;
                bool hasValue = false;
                if (j < n && page[j] == u'=') {
                    ++j;
                    while (j < n && page[j].isSpace()) ++j;
                    if (j < n && (page[j] == u'"' || page[j] == u'\'')) {
                        const qsizetype end = page.indexOf(page[j], j + 1);
                        if (end < 0) {
                            j = n;
                            break;
                        }
                        value = page.sliced(j + 1, end - j - 1);
                        j = end + 1;
                    } else {
                        const qsizetype valueStart = j;
                        while (j < n && !page[j].isSpace() && page[j] != u'>') ++j;
                        value = page.sliced(valueStart, j - valueStart);
                    }
                    hasValue = true;
                }
                if (!isValidName(key) || value.size() > kMaxAttributeChars ||
                    ++attributeCount > kMaxAttributes)
                    continue;
                attributes += u' ' + key.toString().toLower();
                if (hasValue)
                    attributes += QLatin1String("=\"") +
                                  value.toString().replace(u'"', QLatin1String("&quot;")) + u'"';
            }
        }
        if (!ended) break;  // a tag cut off by the end of the page is dropped
        i = j;
        if (++tags > kMaxTags) return std::nullopt;
        if (closing) {
            writer.close(name);
        } else if (!writer.open(name, attributes, selfClosing)) {
            return std::nullopt;
        }
    }
    return std::move(writer).result();
}

}  // namespace platform
