// Waiting for a StatusNotifier host on the session bus before the tray icon is made.
#include "platform/os/tray_host.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QObject>
#include <utility>

#include "platform/os/window_hints.h"

namespace platform {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int kFirstAnswerMs = 2000;

QDBusMessage hostQuestion() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    return get;
}

bool saysYes(const QDBusPendingReply<QDBusVariant>& reply) {
    return reply.isValid() && reply.value().variant().toBool();
}

// Asks the watcher whether a host is registered: at once, whenever a watcher takes the bus
// name, and whenever the watcher announces a host. The first yes runs the task and ends the
// wait; nothing is polled in between.
class HostWait : public QObject {
    Q_OBJECT
  public:
    HostWait(QObject& context, std::function<void()> task)
        : QObject(&context), task_(std::move(task)), bus_(QDBusConnection::sessionBus()) {
        auto* names = new QDBusServiceWatcher(kWatcherService, bus_,
                                              QDBusServiceWatcher::WatchForRegistration, this);
        connect(names, &QDBusServiceWatcher::serviceRegistered, this, &HostWait::ask);
        bus_.connect(kWatcherService, kWatcherPath, kWatcherService,
                     QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(ask()));
        ask();
    }

  private slots:
    void ask() {
        auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(hostQuestion()), this);
        connect(answer, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* call) {
                    call->deleteLater();
                    if (saysYes(*call)) hostFound();
                });
    }

  private:
    void hostFound() {
        if (!task_) return;  // a second answer already in flight
        const std::function<void()> task = std::exchange(task_, nullptr);
        bus_.disconnect(kWatcherService, kWatcherPath, kWatcherService,
                        QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(ask()));
        deleteLater();
        task();
    }

    std::function<void()> task_;
    QDBusConnection bus_;
};

}  // namespace

void whenTrayIconCanBeMade(QObject& context, std::function<void()> makeTrayIcon) {
    // Outside Wayland Qt embeds the icon in whatever tray shows up.
    if (!windowSystemPlacesWindows()) {
        makeTrayIcon();
        return;
    }
    // Asked before returning, so that a hidden start already knows whether the window can go
    // to the notification area (Qt asks the same way when the icon is made).
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (saysYes(bus.call(hostQuestion(), QDBus::Block, kFirstAnswerMs))) {
        makeTrayIcon();
        return;
    }
    // Without a session bus no host can ever come; the wait then just never ends.
    new HostWait(context, std::move(makeTrayIcon));
}

}  // namespace platform

#include "tray_host.moc"
