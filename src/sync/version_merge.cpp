#include "sync/version_merge.h"

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

MergedNote mergeVersions(const std::vector<NoteVersion>& versions, const QString& base,
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
    for (std::size_t i = 1; i < heads.size(); ++i) {
        if (heads[i]->content.value == result.content.value) continue;
        const LineMergeResult lines =
            mergeLines(base, result.content.value, heads[i]->content.value);
        result.content.value = lines.text;
        merged.textConflict = merged.textConflict || lines.conflicted;
    }
    return merged;
}
