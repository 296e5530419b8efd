#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

#include "sync/note_version.h"

namespace {

NoteVersion sample() {
    const QString a(32, u'a'), b(32, u'b');
    const ClockStamp t{1765189530123, 2, b};
    return {a,
            b,
            {"买菜\r\n牛奶 🥛\n", t},
            {{a, 3}, {b, 12}},
            {INT32_MIN, {7, 0, a}},
            {INT32_MAX, t},
            {40, t},
            {"2026/12/8", t},
            {},  // `deleted` never stamped
            {true, t},
            {30, {7, 0, a}},
            {48, t}};
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
    std::vector<QByteArray> bad;
    // Files from before window states were synced lack them: read as never stamped.
    const QStringList optional{"keepAbove", "seeThrough", "textPoints"};
    for (const QString& field : optional) {
        const std::optional<NoteVersion> old =
            versionFromJson(with({}, field, QJsonValue::Undefined));
        ASSERT_TRUE(old) << field.toStdString();
        EXPECT_EQ(toJson(*old).count("\"clock\":\"\""), 2) << field.toStdString();
    }
    for (const QString& field : good.keys()) {  // each removed, and null
        if (!optional.contains(field)) bad.push_back(with({}, field, QJsonValue::Undefined));
        bad.push_back(with({}, field, {}));
        for (const QString& key : good[field].toObject().keys()) {
            bad.insert(bad.end(), {with(field, key, QJsonValue::Undefined), with(field, key, {})});
        }
    }
    const QString key(32, u'c');
    bad.insert(bad.end(),
               {"", "{\"format\": 1", QByteArray(100000, '['),
                toJson(sample()).replace("牛", "\xff\xfe"), toJson(sample()).replace("40", "1e400"),
                with({}, "format", 2), with({}, "note", key.toUpper()),
                with("content", "clock", "1-2-x"), with("content", "seen", QJsonObject{{"x", 1}}),
                with("content", "seen", QJsonObject{{key, -1}}),
                with("content", "seen", QJsonObject{{key, 0.5}}),
                with("backColor", "value", 2147483648.0), with("fontColor", "value", 1.5),
                with("seeThrough", "value", 45), with("textPoints", "value", 5)});
    for (const QByteArray& json : bad) {
        QString why;
        EXPECT_FALSE(versionFromJson(json, &why)) << json.left(200).toStdString();
        EXPECT_FALSE(why.isEmpty()) << json.left(200).toStdString();
    }
}
