#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace platform {

// One running instance per user and key. The first instance holds a lock in a fixed folder
// only the user can enter, for its whole life, listens on a socket there and answers only
// peers of the same user; a later launch asks it to show its main window and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // launcherToken is what launcherToken() read at the start, passed on to a running primary.
    SingleInstance(const QString& key, const QString& launcherToken, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or, when another instance of this user is running, asks
    // it to show its window and returns false. Closes the race of two launches at the same
    // instant. Without a private folder the program runs without the channel.
    bool tryBecomePrimary();

    // Called in the primary instance when a later launch asks for the main window, with the
    // activation token that launch was given (empty when none).
    std::function<void(const QString& activationToken)> onActivateRequested;

    // The activation token the launcher handed this start, empty when none. Read it before the
    // application object exists: Qt's X11 plugin takes DESKTOP_STARTUP_ID out of the
    // environment.
    static QString launcherToken();

    // Socket file name derived from the key.
    static QString serverName(const QString& key);

  private:
    bool notifyPrimary(const QString& path, int timeoutMs);
    void serve(QLocalSocket* socket);

    QString key_;
    QString launcherToken_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
