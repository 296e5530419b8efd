#include <gtest/gtest.h>

#include "sync/sync_file_name.h"

TEST(SyncFileName, TellsEachKindOfNameApart) {
    const QString key = "0123456789abcdef0123456789abcdef";
    const struct {
        QString name;
        SyncFileName::Kind kind;
    } cases[] = {
        {key + ".json", SyncFileName::DeviceFile},
        {key + ".sync-conflict-20261208-101530-ABCDEF7.json", SyncFileName::ConflictCopy},
        {key + " (conflicted copy 2026-12-08 101530).json", SyncFileName::ConflictCopy},
        {key + "_conflict-20261208-101530.json", SyncFileName::ConflictCopy},
        {key + ".json.Xa1b2c", SyncFileName::Temporary},
        {".syncthing." + key + ".json.tmp", SyncFileName::Temporary},
        {"~syncthing~" + key + ".json.tmp", SyncFileName::Temporary},
        {"." + key + ".json.~1a2b3c", SyncFileName::Temporary},
        {"anything.part", SyncFileName::Temporary},
        {key.toUpper() + ".json", SyncFileName::Foreign},
        {key + ".json\n", SyncFileName::Foreign},
        {key + ".sync-conflict-2026128-101530-ABCDEF7.json", SyncFileName::Foreign},
        {key + " (conflicted copy 2026-12-08).json", SyncFileName::Foreign},
        {"../notes.part", SyncFileName::Foreign},
        {"x\\notes.part", SyncFileName::Foreign},
        {".stfolder", SyncFileName::Foreign},
        {"notes.txt", SyncFileName::Foreign},
        {"..", SyncFileName::Foreign},
        {".json", SyncFileName::Foreign},
        {QString(), SyncFileName::Foreign},
    };
    for (const auto& [name, kind] : cases) {
        const SyncFileName found = SyncFileName::classify(name);
        EXPECT_EQ(found.kind, kind) << name.toStdString();
        const bool named = kind == SyncFileName::DeviceFile || kind == SyncFileName::ConflictCopy;
        EXPECT_EQ(found.device, named ? key : QString()) << name.toStdString();
    }
    EXPECT_EQ(SyncFileName::classify(SyncFileName::deviceFile(key)).kind, SyncFileName::DeviceFile);
}
