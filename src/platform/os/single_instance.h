#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace platform {

// One running instance per user and key. The first instance holds a lock in a fixed folder
// only the user can enter, for its whole life, listens on a socket there and answers only
// peers of the same user; a later launch hands it its command (show the main window, or open
// a new note) and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Command { Show, NewNote };
    // What a later launch asked for. The request travels as one line: the command's word,
    // then the launch's activation token when it has one.
    struct Request {
        Command command = Command::Show;
        QString activationToken;
    };
    // The request a line (without its line break) holds; nothing when it is not one. Whatever
    // comes over the channel may be hostile: only a known command word counts, and a token
    // only when it is one word of plain printable ASCII.
    static std::optional<Request> parseRequest(QByteArrayView line);

    // launcherToken is what launcherToken() read at the start, passed on to a running primary
    // with command.
    SingleInstance(const QString& key, const QString& launcherToken,
                   Command command = Command::Show, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or, when another instance of this user is running, hands
    // it the command and returns false. Closes the race of two launches at the same instant.
    // Without a private folder the program runs without the channel.
    bool tryBecomePrimary();

    // Called in the primary instance when a later launch asks for the main window, or for a
    // new note, with the activation token that launch was given (empty when none).
    std::function<void(const QString& activationToken)> onActivateRequested;
    std::function<void(const QString& activationToken)> onNewNoteRequested;

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
    Command command_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
