#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// Dated copies of the note file in a backups/ folder beside it (0700), one a day, named
// Zettara-YYYY-MM-DD.mdb (0600); the seven written last are kept, whatever their dates say (the
// clock may have been set back). Copies an earlier run left unfinished, its own and a restore's,
// are removed at every start. A copy is checked before it takes its name, so a damaged file
// never replaces a good backup. Failures are logged; a backup folder that cannot be made
// private is also told to the user, once until it can be again.
class DatedBackups {
  public:
    static constexpr int kKept = 7;
    using Tell = std::function<void(const QString& text)>;

    // tell runs on the application's thread.
    explicit DatedBackups(Tell tell = {});
    // Abandons a copy under way (its partial file is removed) and waits for it to end.
    ~DatedBackups();
    DatedBackups(const DatedBackups&) = delete;
    DatedBackups& operator=(const DatedBackups&) = delete;

    // The folder of a note file's backups, and its backups, the one written last first (full
    // paths).
    static QString folderFor(const QString& noteFile);
    static QStringList existing(const QString& noteFile);

    // Today's backup when there is none yet ("today" by platform::clock), on this thread.
    // True when one was made.
    bool run(const QString& noteFile);
    // The same on a thread of its own, so that the program never waits for it.
    void start(const QString& noteFile);

  private:
    bool make(const QString& noteFile, const QDate& today);
    bool folderIsPrivate(const QString& noteFile, const QString& folder);

    Tell tell_;
    // Unfinished copies older than this are left from an earlier run.
    const QDateTime began_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<QThread> thread_;
};
