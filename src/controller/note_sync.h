#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/note_window_states.h"
#include "sync/hybrid_clock.h"

class SyncFolder;
namespace platform {
class Database;
}  // namespace platform
class QTimer;
class 数据库操作模块;

// Keeps the notes of this note file in step with a sync folder that the user's own sync engine
// carries to other machines. Local changes (found by comparing Tips with what was last written)
// become this machine's files; the files of every machine are merged note by note and the result
// goes into the note file through the same add, update and delete as the user's own edits.
// Off unless the user turned it on for this note file on this machine: then nothing is made,
// watched or timed. Work is done in short passes of the event loop, so the program answers
// while thousands of notes come in.
class NoteSync : public QObject {
  public:
    struct Hooks {
        // Notes stored, added (their windows stay closed) or brought back: the list follows.
        std::function<void(const std::vector<std::int64_t>& ids)> changed;
        // A note deleted on another machine has gone to the trash here: its windows close.
        std::function<void(std::int64_t id)> deleted;
        // What status() says may have changed.
        std::function<void()> stateChanged;
        // A merge changed a note's window state (keep above, see-through, text size) from
        // `before`, the one its open windows show: they take the stored one.
        std::function<void(std::int64_t id, const NoteWindowStates::State& before)>
            windowStateChanged;
    };

    NoteSync(数据库操作模块& store, Hooks hooks, QObject* parent = nullptr);
    ~NoteSync() override;

    // After the note file is open: starts when sync is on for it on this machine.
    void start();
    bool isOn() const { return folder_ != nullptr; }
    // The folder the user chose; empty when off.
    const QString& chosenFolder() const { return chosen_; }
    // The folder chosen for this note file that was not there at the start; empty otherwise.
    const QString& missingFolder() const { return missing_; }
    // Starts syncing with a folder (an empty one, or one already holding synced notes): this
    // machine's notes are written into it and the notes already there merged. Raises the file's
    // or the store's error when it cannot; nothing is turned on then.
    void turnOn(const QString& chosen);
    // Stops syncing; the folder's files stay as they are.
    void turnOff();
    // The program has changed notes: what changed is written soon.
    void localChange();
    // Writes what changed at once (the program is about to end).
    void writeChangesNow();

    struct Status {
        std::optional<QDateTime> lastMerge;  // local time of the last finished merge
        int unreadable = 0;                  // files skipped in the folder
        int conflicts = 0;  // notes merged with both versions of some lines, since the start
        QString trouble;    // the last failure, empty when the last pass worked
    };
    Status status() const;

  private:
    struct Plan;
    void begin(const QString& chosen, const QString& device);
    // Stops without changing what the note file says about syncing.
    void stop();
    // True (and syncing starts over) when the store has opened another file since begin.
    bool reopened();
    void exportChanges();
    void mergePending();
    Plan planMerge(const QString& key);
    void purgeForgotten();
    void folderAdded();
    void failed(const QString& what);
    std::int64_t now() const;

    数据库操作模块& store_;
    Hooks hooks_;
    QString machine_;
    QString chosen_;
    QString missing_;
    std::optional<HybridClock> clock_;
    std::weak_ptr<platform::Database> database_;  // the connection begin saw
    SyncFolder* folder_ = nullptr;
    QTimer* exportTimer_ = nullptr;
    QTimer* mergeTimer_ = nullptr;
    QStringList pending_;
    QSet<QString> pendingSet_;
    QSet<QString> known_;  // note folders being watched
    bool rootChanged_ = false;
    QHash<QString, QByteArray> seenAtStart_;  // while the folder is first listed
    Status status_;
};
