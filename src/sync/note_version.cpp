#include "sync/note_version.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRandomGenerator>
#include <algorithm>
#include <limits>

namespace {

constexpr int kFormat = 1;

// A field's stamp: the text of the stamp, or empty for a field never stamped.
QJsonValue clockJson(const ClockStamp& clock) {
    return clock.isNull() ? QString() : clock.text();
}

template <typename T>
QJsonObject stampedJson(const Stamped<T>& field) {
    return QJsonObject{{QStringLiteral("value"), field.value},
                       {QStringLiteral("clock"), clockJson(field.clock)}};
}

// The whole number a JSON number holds; none for fractions, exponents out of range and other
// types (toInteger gives its default for every one of those, so two defaults tell).
std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const qint64 first = value.toInteger(0);
    if (first != value.toInteger(1)) return std::nullopt;
    return first;
}

// Reads the JSON of one file, noting the first thing that is not ours.
class Reader {
  public:
    explicit Reader(QString* why) : why_(why) {}

    bool failed() const { return failed_; }

    void fail(const QString& reason) {
        if (!failed_ && why_) *why_ = field_.isEmpty() ? reason : field_ + u'.' + reason;
        failed_ = true;
    }

    QJsonObject object(const QJsonObject& parent, const QString& key) {
        const QJsonValue value = parent.value(key);
        if (!value.isObject()) fail(key + QStringLiteral(": not an object"));
        return value.toObject();
    }

    QString string(const QJsonObject& parent, const QString& key) {
        const QJsonValue value = parent.value(key);
        if (!value.isString()) fail(key + QStringLiteral(": not a string"));
        return value.toString();
    }

    QString key(const QJsonObject& parent, const QString& name) {
        QString text = string(parent, name);
        if (!failed_ && !isSyncKey(text)) fail(name + QStringLiteral(": not a key"));
        return text;
    }

    std::int64_t number(const QJsonObject& parent, const QString& key, std::int64_t low,
                        std::int64_t high) {
        const auto value = wholeNumber(parent.value(key));
        if (!value || *value < low || *value > high) {
            fail(key + QStringLiteral(": not a whole number in range"));
            return 0;
        }
        return *value;
    }

    ClockStamp clock(const QJsonObject& field) {
        const QString text = string(field, QStringLiteral("clock"));
        if (failed_ || text.isEmpty()) return {};
        const auto stamp = ClockStamp::fromText(text);
        if (!stamp) fail(QStringLiteral("clock: not a stamp"));
        return stamp.value_or(ClockStamp{});
    }

    // One stamped field; `read` takes the field's object and gives its value.
    template <typename T, typename Read>
    Stamped<T> stamped(const QJsonObject& root, const QString& name, Read read) {
        const QJsonObject field = object(root, name);
        if (failed_) return {};
        field_ = name;
        Stamped<T> result;
        result.value = read(field);
        result.clock = clock(field);
        field_.clear();
        return result;
    }

    // A field that files of earlier programs lack: absent, it is the default never stamped.
    template <typename T, typename Read>
    Stamped<T> optionalStamped(const QJsonObject& root, const QString& name, Read read) {
        if (!root.contains(name)) return {};
        return stamped<T>(root, name, read);
    }

  private:
    QString* why_;
    QString field_;  // the stamped field being read, named in the reason
    bool failed_ = false;
};

}  // namespace

std::array<const ClockStamp*, 9> NoteVersion::stamps() const {
    return {&content.clock,     &backColor.clock,  &fontColor.clock,
            &transparent.clock, &createTime.clock, &keepAbove.clock,
            &seeThrough.clock,  &textPoints.clock, &deleted.clock};
}

ClockStamp NoteVersion::newestEdit() const {
    const std::array<const ClockStamp*, 9> all = stamps();
    return **std::max_element(all.begin(), all.end() - 1,
                              [](const ClockStamp* a, const ClockStamp* b) { return *a < *b; });
}

QByteArray toJson(const NoteVersion& version) {
    QJsonObject seen;
    for (auto it = version.textSeen.cbegin(); it != version.textSeen.cend(); ++it) {
        // Counts past qint64 never come from a file (they are refused there) nor from counting.
        seen.insert(it.key(), static_cast<qint64>(std::min<std::uint64_t>(
                                  it.value(), std::numeric_limits<qint64>::max())));
    }
    QJsonObject content = stampedJson(version.content);
    content.insert(QStringLiteral("seen"), seen);
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("note"), version.noteKey},
        {QStringLiteral("device"), version.device},
        {QStringLiteral("content"), content},
        {QStringLiteral("backColor"), stampedJson(version.backColor)},
        {QStringLiteral("fontColor"), stampedJson(version.fontColor)},
        {QStringLiteral("transparent"), stampedJson(version.transparent)},
        {QStringLiteral("createTime"), stampedJson(version.createTime)},
        {QStringLiteral("deleted"), stampedJson(version.deleted)},
        {QStringLiteral("keepAbove"), stampedJson(version.keepAbove)},
        {QStringLiteral("seeThrough"), stampedJson(version.seeThrough)},
        {QStringLiteral("textPoints"), stampedJson(version.textPoints)},
    };
    // QJsonObject keeps its keys sorted, which fixes their order.
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<NoteVersion> versionFromJson(const QByteArray& json, QString* why) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        if (why) *why = QStringLiteral("not JSON: ") + error.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (why) *why = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    Reader read(why);
    if (wholeNumber(root.value(QStringLiteral("format"))) != kFormat) {
        read.fail(QStringLiteral("format: not 1"));
        return std::nullopt;
    }
    constexpr auto int32Low = std::numeric_limits<std::int32_t>::min();
    constexpr auto int32High = std::numeric_limits<std::int32_t>::max();
    const auto readInt32 = [&](const QJsonObject& field) {
        return static_cast<std::int32_t>(
            read.number(field, QStringLiteral("value"), int32Low, int32High));
    };

    NoteVersion version;
    version.noteKey = read.key(root, QStringLiteral("note"));
    version.device = read.key(root, QStringLiteral("device"));
    version.content = read.stamped<QString>(root, QStringLiteral("content"), [&](const auto& f) {
        return read.string(f, QStringLiteral("value"));
    });
    const QJsonObject seen =
        read.object(root.value(QStringLiteral("content")).toObject(), QStringLiteral("seen"));
    for (auto it = seen.constBegin(); it != seen.constEnd() && !read.failed(); ++it) {
        if (!isSyncKey(it.key())) read.fail(QStringLiteral("seen: not a key"));
        const auto count = wholeNumber(it.value());
        if (!count || *count < 0) read.fail(QStringLiteral("seen: not a count"));
        version.textSeen.insert(it.key(), static_cast<std::uint64_t>(count.value_or(0)));
    }
    version.backColor = read.stamped<std::int32_t>(root, QStringLiteral("backColor"), readInt32);
    version.fontColor = read.stamped<std::int32_t>(root, QStringLiteral("fontColor"), readInt32);
    version.transparent = read.stamped<int>(root, QStringLiteral("transparent"), readInt32);
    version.createTime = read.stamped<QString>(
        root, QStringLiteral("createTime"),
        [&](const auto& f) { return read.string(f, QStringLiteral("value")); });
    const auto readBool = [&](const QJsonObject& field) {
        const QJsonValue value = field.value(QStringLiteral("value"));
        if (!value.isBool()) read.fail(QStringLiteral("value: not true or false"));
        return value.toBool();
    };
    version.deleted = read.stamped<bool>(root, QStringLiteral("deleted"), readBool);
    version.keepAbove = read.optionalStamped<bool>(root, QStringLiteral("keepAbove"), readBool);
    // Only values a note window can take: any other would be applied and never agree with
    // what the window state table gives back.
    version.seeThrough =
        read.optionalStamped<int>(root, QStringLiteral("seeThrough"), [&](const auto& f) {
            const auto percent = static_cast<int>(read.number(f, QStringLiteral("value"), 0, 90));
            if (percent % 10 != 0) read.fail(QStringLiteral("value: not a step of 10"));
            return percent;
        });
    version.textPoints =
        read.optionalStamped<int>(root, QStringLiteral("textPoints"), [&](const auto& f) {
            const auto points = static_cast<int>(read.number(f, QStringLiteral("value"), 0, 48));
            if (points != 0 && points < 6) read.fail(QStringLiteral("value: not 0 or 6 to 48"));
            return points;
        });
    if (read.failed()) return std::nullopt;
    return version;
}

bool isSyncKey(QStringView text) {
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

QString newSyncKey() {
    QString key;
    key.reserve(32);
    for (int i = 0; i < 4; ++i) {
        key += QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'));
    }
    return key;
}
