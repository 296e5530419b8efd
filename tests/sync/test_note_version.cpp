#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "sync/note_version.h"

namespace {

NoteVersion sample() {
    const QString a(32, u'a'), b(32, u'b');
    return NoteVersion{a,
                       b,
                       {"买菜\r\n牛奶 🥛\n", {1765189530123, 2, b}},
                       {{a, 3}, {b, 12}},
                       {-2147483647 - 1, {7, 0, a}},
                       {2147483647, {8, 1, b}},
                       {40, {9, 0, a}},
                       {"2026/12/8 10:15:30", {10, 0, b}},
                       {}};  // `deleted` never stamped
}

}  // namespace

TEST(NoteVersionJson, RoundTripsToTheSameBytes) {
    NoteVersion v = sample();
    const QByteArray json = toJson(v);
    QString why;
    ASSERT_EQ(versionFromJson(json, &why), v) << why.toStdString();
    EXPECT_EQ(toJson(*versionFromJson(json)), json);
    v.content.value = QString(10 * 1024 * 1024, u'字');
    v.deleted = {true, {11, 0, v.device}};
    EXPECT_EQ(versionFromJson(toJson(v)), v);

    const QString key = newSyncKey();
    EXPECT_TRUE(isSyncKey(key)) << key.toStdString();
    EXPECT_NE(newSyncKey(), key);
}

TEST(NoteVersionJson, RefusesWhatIsNotOurs) {
    const QJsonObject good = QJsonDocument::fromJson(toJson(sample())).object();
    // The sample with one value replaced, inside the named field's object when there is one.
    const auto with = [&](const QString& field, const QString& key, const QJsonValue& value) {
        QJsonObject root = good, inner = good[field].toObject();
        QJsonObject& target = field.isEmpty() ? root : inner;
        value.isUndefined() ? target.remove(key) : void(target[key] = value);
        if (!field.isEmpty()) root[field] = inner;
        return QJsonDocument(root).toJson();
    };
    const QString key(32, u'c');
    const QByteArray bad[] = {"",
                              "[]",
                              "{\"format\": 1",
                              "null",
                              QByteArray(100000, '['),
                              toJson(sample()).replace("牛", "\xff\xfe"),
                              toJson(sample()).replace("40", "1e400"),
                              with({}, "format", 2),
                              with({}, "format", "1"),
                              with({}, "note", key.toUpper()),
                              with({}, "device", QJsonValue::Undefined),
                              with({}, "device", 5),
                              with("content", "value", 1),
                              with("content", "clock", "1-2-x"),
                              with("content", "seen", QJsonObject{{"x", 1}}),
                              with("content", "seen", QJsonObject{{key, -1}}),
                              with("content", "seen", QJsonObject{{key, 0.5}}),
                              with("backColor", "value", 2147483648.0),
                              with("fontColor", "value", 1.5),
                              with("transparent", "value", "40"),
                              with("createTime", "value", QJsonValue::Null),
                              with("deleted", "value", "true"),
                              with({}, "deleted", true),
                              with("deleted", "clock", QJsonValue::Undefined)};
    for (const QByteArray& json : bad) {
        QString why;
        EXPECT_FALSE(versionFromJson(json, &why)) << json.left(200).toStdString();
        EXPECT_FALSE(why.isEmpty()) << json.left(200).toStdString();
    }
}
