#include "controller/note_sync.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSysInfo>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "controller/sync_folder.h"
#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "store/database_module.h"
#include "store/note_repository.h"
#include "store/note_trash.h"
#include "store/note_window_states.h"
#include "store/sync_records.h"
#include "sync/version_merge.h"

namespace {

Q_LOGGING_CATEGORY(lcSync, "zettara.sync")

// Notes handled in one pass of the event loop: small enough that the window answers between
// passes, big enough that one transaction carries many notes.
constexpr int kNotesPerPass = 200;
// Reading a pass's notes stops after this long (a slow disk, big notes), so that with the
// store's commit a pass stays well within what a person notices.
constexpr qint64 kReadingMs = 25;
// How far ahead of this machine's clock another machine's may run: further is a broken clock
// or a made-up file, skipped.
constexpr std::int64_t kLatestAheadMs = 24LL * 60 * 60 * 1000;
// Local changes come in bursts (typing is stored every second): written once they settle.
constexpr int kExportDelayMs = 300;
// Files arrive one after another: merged once a burst has settled.
constexpr int kMergeDelayMs = 150;
// After a failure (a locked note file, a full disk) the pass is tried again this much later.
constexpr int kRetryMs = 5000;

// This machine as the binding of a note file knows it: another machine, or a note file copied
// to another place, gets its own device key.
QString machineName() {
    const QByteArray id = QSysInfo::machineUniqueId();
    return id.isEmpty() ? QSysInfo::machineHostName() : QString::fromLatin1(id);
}

QString noteFilePath(数据库操作模块& store) {
    const QFileInfo file(store.requireOpen().path());
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

void observeAll(HybridClock& clock, const NoteVersion& version) {
    for (const ClockStamp* stamp : version.stamps()) clock.observe(*stamp);
}

// The same note, whoever wrote it.
bool sameNote(NoteVersion a, const NoteVersion& b) {
    a.device = b.device;
    return a == b;
}

std::optional<int> points(int textPoints) {
    return textPoints == 0 ? std::nullopt : std::optional<int>(textPoints);
}

// A note's window state with the merged values put in. A value no machine ever stamped (all
// files from before window states were synced) leaves the local one, which is written next.
NoteWindowStates::State windowState(const NoteVersion& merged, NoteWindowStates::State state) {
    if (!merged.keepAbove.clock.isNull()) state.keepAbove = merged.keepAbove.value;
    if (!merged.seeThrough.clock.isNull()) state.transparency = merged.seeThrough.value;
    if (!merged.textPoints.clock.isNull()) state.textPoints = points(merged.textPoints.value);
    return state;
}

template <typename T>
void set(Stamped<T>& field, const T& value, HybridClock& clock, std::int64_t now, bool always) {
    if (!always && field.value == value) return;
    field.value = value;
    field.clock = clock.tick(now);
}

}  // namespace

struct NoteSync::Plan {
    enum Step { Nothing, Add, Update, Delete, Restore };
    Step step = Nothing;
    QString key;
    std::optional<SyncRecords::Record> record;
    NoteVersion merged;
    QString base;  // the text history, as the record keeps it
    bool writeOwn = false;
    bool conflict = false;  // lines changed both ways were kept twice
    // An update of the window state alone: Tips and its change time stay as they are.
    bool windowOnly = false;
};

NoteSync::NoteSync(数据库操作模块& store, Hooks hooks, QObject* parent)
    : QObject(parent), store_(store), hooks_(std::move(hooks)) {}

NoteSync::~NoteSync() = default;

std::int64_t NoteSync::now() const {
    return platform::clock::now().toMSecsSinceEpoch();
}

void NoteSync::start() {
    const SyncRecords records(store_);
    if (!records.usable()) return;
    machine_ = machineName();
    const std::optional<SyncRecords::Setup> setup = records.setup(machine_, noteFilePath(store_));
    if (!setup || setup->folder.isEmpty() || !isSyncKey(setup->device)) return;
    try {
        begin(setup->folder, setup->device);
    } catch (const platform::Error& error) {
        // A folder on a drive not mounted yet: said in the status line, tried again at the
        // next start or when chosen again.
        qCWarning(lcSync).noquote() << "sync folder not used:" << error.message();
        missing_ = setup->folder;
        if (hooks_.stateChanged) hooks_.stateChanged();
    }
}

void NoteSync::turnOn(const QString& chosen) {
    const SyncRecords records(store_);
    if (!records.usable())
        throw platform::Error(platform::Trouble::ReadOnly, platform::errc::pathAccess,
                              QStringLiteral("the note file's own tables cannot be written"),
                              store_.requireOpen().path());
    turnOff();
    machine_ = machineName();
    const QString path = noteFilePath(store_);
    SyncRecords::Setup setup = records.setup(machine_, path).value_or(SyncRecords::Setup{});
    if (!isSyncKey(setup.device)) setup.device = newSyncKey();
    SyncFolder(chosen, setup.device).create();
    setup.folder = chosen;
    records.saveSetup(machine_, path, setup);
    begin(chosen, setup.device);
}

void NoteSync::turnOff() {
    if (folder_) {
        const SyncRecords records(store_);
        const QString path = noteFilePath(store_);
        if (std::optional<SyncRecords::Setup> setup = records.setup(machine_, path)) {
            setup->folder.clear();
            records.saveSetup(machine_, path, *setup);
        }
    }
    stop();
    if (hooks_.stateChanged) hooks_.stateChanged();
}

void NoteSync::stop() {
    // Later: this may run from their own signals.
    if (folder_) folder_->deleteLater();
    folder_ = nullptr;
    if (exportTimer_) exportTimer_->deleteLater();
    exportTimer_ = nullptr;
    if (mergeTimer_) mergeTimer_->deleteLater();
    mergeTimer_ = nullptr;
    clock_.reset();
    chosen_.clear();
    missing_.clear();
    pending_.clear();
    pendingSet_.clear();
    known_.clear();
    rootChanged_ = false;
    status_ = Status{};
}

bool NoteSync::reopened() {
    if (store_.database() == database_.lock()) return false;
    // Another note file is open now (a backup put in place): what it says about syncing
    // holds from now on, and its notes are compared with its own records, never another's.
    stop();
    QTimer::singleShot(0, this, [this] {
        start();
        if (hooks_.stateChanged) hooks_.stateChanged();
    });
    return true;
}

void NoteSync::begin(const QString& chosen, const QString& device) {
    // A folder that is not there (a drive not mounted, a folder removed) is not made again:
    // notes written there would reach no other machine.
    if (!QFileInfo(chosen).isDir())
        throw platform::Error(platform::Trouble::Missing, platform::errc::pathAccess,
                              QStringLiteral("the sync folder is not there"), chosen);
    auto folder = std::make_unique<SyncFolder>(chosen, device, this);
    folder->create();
    missing_.clear();
    database_ = store_.database();
    chosen_ = chosen;
    clock_.emplace(device);
    folder_ = folder.release();
    exportTimer_ = new QTimer(this);
    exportTimer_->setSingleShot(true);
    connect(exportTimer_, &QTimer::timeout, this, [this] { exportChanges(); });
    mergeTimer_ = new QTimer(this);
    mergeTimer_->setSingleShot(true);
    connect(mergeTimer_, &QTimer::timeout, this, [this] { mergePending(); });
    folder_->watch(
        [this](const QString& key) {
            if (!mergeTimer_ || !isSyncKey(key) || pendingSet_.contains(key)) return;
            pendingSet_.insert(key);
            pending_ << key;
            mergeTimer_->start(kMergeDelayMs);
        },
        [this] {
            if (!mergeTimer_) return;
            // Note folders come in bursts (a whole machine's notes): listed once it settles.
            rootChanged_ = true;
            mergeTimer_->start(kMergeDelayMs);
        });
    const SyncRecords records(store_);
    purgeForgotten();
    // Only notes whose folders changed while the program was not running are read (a folder
    // whose own file was lost reads as changed too, and the file is written again)...
    seenAtStart_ = records.seen();
    folderAdded();
    seenAtStart_.clear();
    // ...and notes this machine wrote whose folders are gone altogether.
    for (const auto& [key, id] : records.keys()) {
        Q_UNUSED(id)
        if (!known_.contains(key) && !pendingSet_.contains(key)) {
            pendingSet_.insert(key);
            pending_ << key;
        }
    }
    // Nothing changed while the program was not running: the notes are as merged.
    if (pending_.isEmpty()) status_.lastMerge = QDateTime::currentDateTime();
    exportTimer_->start(0);
}

void NoteSync::localChange() {
    if (exportTimer_ && !exportTimer_->isActive()) exportTimer_->start(kExportDelayMs);
}

void NoteSync::writeChangesNow() {
    if (!folder_ || reopened()) return;
    // A pass that leaves notes for the next one arms the timer again.
    for (;;) {
        exportTimer_->stop();
        exportChanges();
        if (!exportTimer_->isActive()) return;
    }
}

NoteSync::Status NoteSync::status() const {
    Status status = status_;
    if (folder_) status.unreadable = folder_->skipped();
    return status;
}

void NoteSync::failed(const QString& what) {
    qCWarning(lcSync).noquote() << "sync pass failed, tried again shortly:" << what;
    status_.trouble = what;
    if (mergeTimer_) mergeTimer_->start(kRetryMs);
    if (hooks_.stateChanged) hooks_.stateChanged();
}

void NoteSync::folderAdded() {
    rootChanged_ = false;
    QStringList fresh;
    for (const QString& key : folder_->noteKeys()) {
        if (known_.contains(key)) continue;
        known_.insert(key);
        fresh << key;
        if (!pendingSet_.contains(key) &&
            (!seenAtStart_.contains(key) || folder_->signature(key) != seenAtStart_.value(key))) {
            pendingSet_.insert(key);
            pending_ << key;
        }
    }
    folder_->watchNotes(fresh);
    if (!pending_.isEmpty()) mergeTimer_->start(kMergeDelayMs);
}

// A note deleted here and purged from the trash: this machine's file of it goes (nothing else).
void NoteSync::purgeForgotten() {
    const SyncRecords records(store_);
    for (const SyncRecords::Record& record : records.purged()) {
        folder_->removeOwn(record.noteKey);
        records.forget(record.id);
    }
}

void NoteSync::exportChanges() {
    if (!folder_ || reopened()) return;
    try {
        const SyncRecords records(store_);
        std::vector<std::int64_t> ids = records.changedIds();
        const bool more = ids.size() > static_cast<size_t>(kNotesPerPass);
        if (more) ids.resize(kNotesPerPass);
        std::vector<std::pair<QString, QByteArray>> files;
        platform::inTransaction(store_.requireOpen(), [&] {
            for (const std::int64_t id : ids) {
                const std::optional<SyncRecords::Record> record = records.byId(id);
                const std::optional<SyncRecords::Values> values = records.values(id);
                std::optional<NoteVersion> version;
                if (record) version = versionFromJson(record->own);
                const bool fresh = !version;
                if (fresh) {
                    if (!values) {
                        // Gone before it was ever written: nothing to tell anyone.
                        if (record) records.forget(id);
                        continue;
                    }
                    version.emplace();
                    version->noteKey = record ? record->noteKey : newSyncKey();
                }
                NoteVersion& v = *version;
                // A change is later than every value it replaces, whatever this machine's
                // wall clock says (one that runs behind another's).
                observeAll(*clock_, v);
                v.device = clock_->device();
                const std::int64_t at = now();
                if (values) {
                    if (fresh || v.content.value != values->content) {
                        v.content.value = values->content;
                        v.content.clock = clock_->tick(at);
                        ++v.textSeen[v.device];
                    }
                    set(v.backColor, values->backColor, *clock_, at, fresh);
                    set(v.fontColor, values->fontColor, *clock_, at, fresh);
                    set(v.transparent, values->transparent, *clock_, at, fresh);
                    set(v.keepAbove, values->keepAbove, *clock_, at, fresh);
                    set(v.seeThrough, values->seeThrough, *clock_, at, fresh);
                    set(v.textPoints, values->textPoints, *clock_, at, fresh);
                    // Nothing here changes when a note was made: stamped once, when first written.
                    if (fresh) set(v.createTime, values->createTime, *clock_, at, true);
                    set(v.deleted, false, *clock_, at, fresh);
                } else {
                    set(v.deleted, true, *clock_, at, false);
                }
                SyncRecords::Record saved;
                saved.id = id;
                saved.noteKey = v.noteKey;
                saved.own = toJson(v);
                TextHistory history =
                    record && !fresh ? historyFromJson(record->base.toUtf8()) : TextHistory{};
                remember(history, v.textSeen, v.content.value);
                saved.base = QString::fromUtf8(historyToJson(history));
                saved.gone = !values;
                records.save(saved);
                files.emplace_back(v.noteKey, saved.own);
            }
            return true;
        });
        QStringList fresh;
        for (const auto& [key, json] : files) {
            folder_->write(key, json);
            if (!known_.contains(key)) {
                known_.insert(key);
                fresh << key;
            }
        }
        folder_->watchNotes(fresh);
        status_.trouble.clear();
        if (more) exportTimer_->start(0);
    } catch (const platform::Error& error) {
        failed(error.message());
    }
}

NoteSync::Plan NoteSync::planMerge(const QString& key) {
    const SyncRecords records(store_);
    Plan plan;
    plan.key = key;
    SyncFolder::Read read = folder_->read(key, now() + kLatestAheadMs);
    plan.record = records.byKey(key);
    std::vector<NoteVersion> versions = read.versions;
    std::optional<NoteVersion> own;
    if (plan.record) own = versionFromJson(plan.record->own);
    if (own) versions.push_back(*own);
    if (versions.empty()) return Plan{};
    for (const NoteVersion& version : versions) observeAll(*clock_, version);
    TextHistory history = plan.record ? historyFromJson(plan.record->base.toUtf8()) : TextHistory{};
    const MergedNote merged = mergeVersions(versions, history, clock_->device());
    plan.merged = merged.version;
    plan.conflict = merged.textConflict;
    // Every text read here may be the common version of a later concurrent change.
    for (const NoteVersion& version : read.versions)
        remember(history, version.textSeen, version.content.value);
    remember(history, plan.merged.textSeen, plan.merged.content.value);
    plan.base = QString::fromUtf8(historyToJson(history));
    const bool otherwise =
        std::none_of(read.versions.begin(), read.versions.end(),
                     [&](const NoteVersion& v) { return sameNote(v, plan.merged); });
    plan.writeOwn = read.own ? *read.own != toJson(plan.merged) : otherwise;

    const std::optional<SyncRecords::Values> values =
        plan.record ? records.values(plan.record->id) : std::nullopt;
    if (plan.merged.isDeleted()) {
        // A note deleted elsewhere before it ever came here stays away.
        if (!plan.record) return Plan{};
        if (values) plan.step = Plan::Delete;
    } else if (!values) {
        plan.step = plan.record && records.inTrash(plan.record->id) ? Plan::Restore : Plan::Add;
    } else {
        const NoteVersion& m = plan.merged;
        NoteWindowStates::State shown;
        shown.keepAbove = values->keepAbove;
        shown.transparency = values->seeThrough;
        shown.textPoints = points(values->textPoints);
        const bool tips =
            values->content != m.content.value || values->backColor != m.backColor.value ||
            values->fontColor != m.fontColor.value || values->transparent != m.transparent.value;
        if (tips || windowState(m, shown) != shown) plan.step = Plan::Update;
        plan.windowOnly = !tips;
    }
    return plan;
}

namespace {

// When the newest change of a note was made, as the note file's times say it, never later
// than now (a machine whose clock runs ahead).
QDateTime changedAt(const NoteVersion& version, std::int64_t nowMs) {
    const std::int64_t newest = std::min(version.newestEdit().wallMs, nowMs);
    return QDateTime::fromMSecsSinceEpoch(newest);
}

// The stored creation time of a note (its text as the note file keeps it); invalid when it is
// not one.
QDateTime createdAt(const NoteVersion& version) {
    const QString& text = version.createTime.value;
    for (const QLatin1String format :
         {QLatin1String("yyyy/M/d H:mm:ss"), QLatin1String("yyyy/M/d")}) {
        QDateTime when = QDateTime::fromString(text, format);
        if (when.isValid()) return when;
    }
    return {};
}

}  // namespace

void NoteSync::mergePending() {
    if (!folder_ || reopened()) return;
    try {
        if (rootChanged_) folderAdded();
        // What changed here first, so that a merge never undoes an edit not yet written.
        exportChanges();
        const SyncRecords records(store_);
        const NoteRepository notes(store_);
        const NoteTrash trash(store_);
        std::vector<Plan> plans;
        QElapsedTimer reading;
        reading.start();
        while (!pending_.isEmpty() && plans.size() < static_cast<size_t>(kNotesPerPass) &&
               (plans.empty() || reading.elapsed() < kReadingMs)) {
            const QString key = pending_.takeFirst();
            pendingSet_.remove(key);
            plans.push_back(planMerge(key));
        }
        std::vector<std::int64_t> changed;
        // Notes whose window state the merge changed, with the state their windows show.
        std::vector<std::pair<std::int64_t, NoteWindowStates::State>> restyled;
        const auto recordOf = [](const Plan& plan, std::int64_t id) {
            SyncRecords::Record record;
            record.id = id;
            record.noteKey = plan.key;
            record.own = toJson(plan.merged);
            record.base = plan.base;
            record.gone = plan.merged.isDeleted();
            return record;
        };
        // The trash keeps its own transactions; each is followed by the record, so that a
        // program stopped between the two finds a change of its own that agrees with the merge.
        for (Plan& plan : plans) {
            if (plan.step == Plan::Delete) {
                trash.deleteNote(plan.record->id, false);
                records.save(recordOf(plan, plan.record->id));
                if (hooks_.deleted) hooks_.deleted(plan.record->id);
                plan.step = Plan::Nothing;
            } else if (plan.step == Plan::Restore) {
                const std::optional<NoteTrash::Restored> back = trash.restoreNote(plan.record->id);
                const std::int64_t id = back && back->id ? back->id : plan.record->id;
                if (id != plan.record->id) records.forget(plan.record->id);
                plan.record->id = id;
                // Brought back as it was deleted; the merged values follow as an update.
                plan.step = back && back->id ? Plan::Update : Plan::Add;
                if (plan.step == Plan::Update) changed.push_back(id);
            }
        }
        const std::int64_t at = now();
        // Adds and updates with their records in one transaction: a note is never added
        // without the record that says which note it is.
        platform::inTransaction(store_.requireOpen(), [&] {
            for (const Plan& plan : plans) {
                if (plan.key.isEmpty()) continue;
                const NoteVersion& m = plan.merged;
                std::int64_t id = plan.record ? plan.record->id : 0;
                if (plan.step == Plan::Add) {
                    if (plan.record) records.forget(plan.record->id);
                    // Made when it was made elsewhere, then changed when it last changed.
                    const QDateTime made = createdAt(m);
                    id = notes.add(m.content.value, made.isValid() ? made : changedAt(m, at),
                                   m.backColor.value, m.fontColor.value, m.transparent.value);
                    if (made.isValid())
                        notes.update(id, m.content.value, changedAt(m, at), m.backColor.value,
                                     m.fontColor.value, m.transparent.value);
                    records.rememberClosed(id);
                    changed.push_back(id);
                } else if (plan.step == Plan::Update && !plan.windowOnly) {
                    notes.update(id, m.content.value, changedAt(m, at), m.backColor.value,
                                 m.fontColor.value, m.transparent.value);
                    if (std::find(changed.begin(), changed.end(), id) == changed.end())
                        changed.push_back(id);
                }
                if (plan.step == Plan::Add || plan.step == Plan::Update) {
                    // Single statements: they share this transaction.
                    const NoteWindowStates states(store_);
                    const NoteWindowStates::State before =
                        states.find(id).value_or(NoteWindowStates::State{});
                    const NoteWindowStates::State after = windowState(m, before);
                    if (after != before) {
                        states.save(id, after);
                        restyled.emplace_back(id, before);
                    }
                }
                if (plan.conflict && plan.step != Plan::Nothing) ++status_.conflicts;
                if (id != 0 || plan.record) records.save(recordOf(plan, id));
            }
            return true;
        });
        for (const Plan& plan : plans) {
            if (plan.key.isEmpty() || !plan.writeOwn) continue;
            folder_->write(plan.key, toJson(plan.merged));
        }
        platform::inTransaction(store_.requireOpen(), [&] {
            for (const Plan& plan : plans)
                if (!plan.key.isEmpty()) records.saveSeen(plan.key, folder_->signature(plan.key));
            return true;
        });
        if (!changed.empty() && hooks_.changed) hooks_.changed(changed);
        if (hooks_.windowStateChanged) {
            for (const auto& [id, before] : restyled) hooks_.windowStateChanged(id, before);
        }
        status_.trouble.clear();
        if (!pending_.isEmpty()) {
            mergeTimer_->start(0);
            return;
        }
        status_.lastMerge = QDateTime::currentDateTime();
        if (hooks_.stateChanged) hooks_.stateChanged();
    } catch (const platform::Error& error) {
        failed(error.message());
    }
}
