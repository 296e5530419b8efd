#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace platform {

// One running instance per user and key. The first instance listens on a user-only local
// socket; a later launch asks it to show its main window and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or, when another instance is running, asks it to show
    // its window and returns false. Closes the race of two launches at the same instant.
    bool tryBecomePrimary();

    // Called in the primary instance when a later launch asks for the main window.
    std::function<void()> onActivateRequested;

    // Socket name derived from the key and the user id.
    static QString serverName(const QString& key);

  private:
    bool notifyPrimary(int timeoutMs);

    QString key_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
