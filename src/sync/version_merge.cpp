#include "sync/version_merge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "sync/line_merge.h"

namespace {

// Whether every text change `a` has seen, `b` has seen too.
bool includedIn(const VersionVector& a, const VersionVector& b) {
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (it.value() > b.value(it.key(), 0)) return false;
    }
    return true;
}

// The value with the newest stamp; two values under one stamp (which only a damaged or
// hand-made file gives) are told apart by value, so that every machine picks the same.
template <typename T>
Stamped<T> newest(const std::vector<const NoteVersion*>& versions, Stamped<T> NoteVersion::*field) {
    Stamped<T> best = (*versions.front()).*field;
    for (const NoteVersion* version : versions) {
        const Stamped<T>& candidate = (*version).*field;
        if (candidate.clock > best.clock ||
            (candidate.clock == best.clock && best.value < candidate.value)) {
            best = candidate;
        }
    }
    return best;
}

// Orders text versions for the merge: by device key, then stamp, then text.
bool mergeOrder(const NoteVersion* a, const NoteVersion* b) {
    if (a->device != b->device) return a->device < b->device;
    if (a->content.clock != b->content.clock) return a->content.clock < b->content.clock;
    return a->content.value < b->content.value;
}

}  // namespace

void remember(TextHistory& history, const VersionVector& seen, const QString& text) {
    std::erase_if(history, [&](const TextVersion& kept) { return kept.seen == seen; });
    history.push_back({seen, text});
    if (history.size() > kHistoryLength)
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(kHistoryLength));
}

QString commonVersion(const TextHistory& history, const VersionVector& a, const VersionVector& b) {
    VersionVector meet;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const std::uint64_t count = std::min(it.value(), b.value(it.key(), 0));
        if (count > 0) meet.insert(it.key(), count);
    }
    const TextVersion* best = nullptr;
    std::uint64_t bestChanges = 0;
    for (const TextVersion& kept : history) {
        if (kept.seen == meet) return kept.text;
        if (!includedIn(kept.seen, meet)) continue;
        std::uint64_t changes = 0;
        for (const std::uint64_t count : kept.seen) changes += count;
        if (!best || changes > bestChanges) {
            best = &kept;
            bestChanges = changes;
        }
    }
    return best ? best->text : QString();
}

QByteArray historyToJson(const TextHistory& history) {
    QJsonArray array;
    for (const TextVersion& kept : history) {
        QJsonObject seen;
        for (auto it = kept.seen.cbegin(); it != kept.seen.cend(); ++it)
            seen.insert(it.key(), QString::number(it.value()));
        array.append(
            QJsonObject{{QStringLiteral("seen"), seen}, {QStringLiteral("text"), kept.text}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

TextHistory historyFromJson(const QByteArray& json) {
    TextHistory history;
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    for (const auto& entry : array) {
        const QJsonObject object = entry.toObject();
        TextVersion kept;
        kept.text = object.value(QStringLiteral("text")).toString();
        const QJsonObject seen = object.value(QStringLiteral("seen")).toObject();
        for (auto it = seen.begin(); it != seen.end(); ++it) {
            bool ok = false;
            const std::uint64_t count = it.value().toString().toULongLong(&ok);
            if (ok) kept.seen.insert(it.key(), count);
        }
        history.push_back(std::move(kept));
    }
    if (history.size() > kHistoryLength)
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(kHistoryLength));
    return history;
}

MergedNote mergeVersions(const std::vector<NoteVersion>& versions, const TextHistory& history,
                         const QString& ownDevice) {
    MergedNote merged;
    merged.version.device = ownDevice;
    if (versions.empty()) return merged;
    // The first version names the note; a file of another note in its folder is left out.
    const QString& noteKey = versions.front().noteKey;
    std::vector<const NoteVersion*> all;
    for (const NoteVersion& version : versions) {
        if (version.noteKey == noteKey) all.push_back(&version);
    }
    NoteVersion& result = merged.version;
    result.noteKey = noteKey;
    result.backColor = newest(all, &NoteVersion::backColor);
    result.fontColor = newest(all, &NoteVersion::fontColor);
    result.transparent = newest(all, &NoteVersion::transparent);
    result.createTime = newest(all, &NoteVersion::createTime);
    result.deleted = newest(all, &NoteVersion::deleted);
    result.keepAbove = newest(all, &NoteVersion::keepAbove);
    result.seeThrough = newest(all, &NoteVersion::seeThrough);
    result.textPoints = newest(all, &NoteVersion::textPoints);

    for (const NoteVersion* version : all) {
        for (auto it = version->textSeen.cbegin(); it != version->textSeen.cend(); ++it) {
            std::uint64_t& count = result.textSeen[it.key()];
            count = std::max(count, it.value());
        }
        result.content.clock = std::max(result.content.clock, version->content.clock);
    }

    // The texts no other includes; of those with one vector, the newest.
    std::vector<const NoteVersion*> heads;
    for (const NoteVersion* version : all) {
        const bool superseded = std::any_of(all.begin(), all.end(), [&](const NoteVersion* other) {
            if (other->textSeen == version->textSeen) {
                return other->content.clock > version->content.clock ||
                       (other->content.clock == version->content.clock &&
                        other->content.value > version->content.value);
            }
            return includedIn(version->textSeen, other->textSeen);
        });
        const bool repeated = std::any_of(heads.begin(), heads.end(), [&](const NoteVersion* kept) {
            return kept->textSeen == version->textSeen;
        });
        if (!superseded && !repeated) heads.push_back(version);
    }
    std::sort(heads.begin(), heads.end(), mergeOrder);
    result.content.value = heads.front()->content.value;
    VersionVector mergedSeen = heads.front()->textSeen;
    for (std::size_t i = 1; i < heads.size(); ++i) {
        const VersionVector& seen = heads[i]->textSeen;
        if (heads[i]->content.value != result.content.value) {
            const LineMergeResult lines = mergeLines(commonVersion(history, mergedSeen, seen),
                                                     result.content.value, heads[i]->content.value);
            result.content.value = lines.text;
            merged.textConflict = merged.textConflict || lines.conflicted;
        }
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            mergedSeen[it.key()] = std::max(mergedSeen.value(it.key(), 0), it.value());
    }
    return merged;
}
