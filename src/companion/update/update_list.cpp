#include "update/update_list.h"

#include <QRegularExpression>
#include <QStringList>

namespace companion {

namespace {
// Keep the question box on the screen: release notes are shown in part.
constexpr int kLongestNotes = 2000;
constexpr int kMostNoteLines = 15;

bool actsOnTheText(char16_t u) {
    const bool control = (u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7f && u <= 0x9f);
    const bool direction = u == 0x061c || u == 0x200e || u == 0x200f ||
                           (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
    return control || direction;
}

// The notes come from the network: a control or direction character would act on the box
// (reverse a file name, hide what follows) instead of being read, so each is shown by its code.
QString withVisibleControls(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (actsOnTheText(c.unicode()))
            shown += QStringLiteral("[U+%1]").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
        else
            shown += c;
    }
    return shown;
}
}  // namespace

std::optional<UpdateList::Version> UpdateList::parseVersion(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,9})\\.(\\d{1,9})\\.(\\d{1,9})\\.(\\d{1,9})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    Version version{};
    for (int i = 0; i < 4; ++i) version[i] = match.captured(i + 1).toUInt();
    return version;
}

std::optional<UpdateList> UpdateList::parse(const QByteArray& text) {
    QString content = QString::fromUtf8(text);
    if (content.startsWith(QChar(0xFEFF))) content.remove(0, 1);
    content.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = content.split(QLatin1Char('\n'));
    if (lines.size() < 2) return std::nullopt;

    UpdateList list;
    list.versionText_ = lines[0].trimmed();
    const std::optional<Version> version = parseVersion(list.versionText_);
    if (!version) return std::nullopt;
    list.version_ = *version;

    list.download_ = QUrl(lines[1].trimmed(), QUrl::StrictMode);
    const QString scheme = list.download_.scheme().toLower();
    if (!list.download_.isValid() || list.download_.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return std::nullopt;
    }

    list.notes_ = withVisibleControls(lines.mid(2).join(QLatin1Char('\n')).trimmed());
    if (list.notes_.size() > kLongestNotes) {
        list.notes_ = list.notes_.left(kLongestNotes) + QStringLiteral("……");
    }
    if (list.notes_.count(QLatin1Char('\n')) >= kMostNoteLines) {
        list.notes_ =
            list.notes_.section(QLatin1Char('\n'), 0, kMostNoteLines - 1) + QStringLiteral("\n……");
    }
    return list;
}

}  // namespace companion
