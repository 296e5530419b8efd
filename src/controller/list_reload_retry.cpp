#include "controller/list_reload_retry.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

#include "platform/ui/guard.h"

ListReloadRetry::~ListReloadRetry() {
    if (armed_) qApp->removeEventFilter(this);
}

void ListReloadRetry::arm() {
    if (!std::exchange(armed_, true)) qApp->installEventFilter(this);
}

void ListReloadRetry::disarm() {
    if (std::exchange(armed_, false)) qApp->removeEventFilter(this);
}

bool ListReloadRetry::eventFilter(QObject* watched, QEvent* event) {
    // Every widget of an activated window hears of it: one queued retry, after the activation.
    if (armed_ && event->type() == QEvent::WindowActivate && !std::exchange(queued_, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                queued_ = false;
                if (armed_) platform::runEvent(retry_);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
