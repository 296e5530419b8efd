#include "platform/guard.h"

#include <QString>

#include "platform/error.h"
#include "platform/msgbox.h"

namespace platform {

bool guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const Error&) {
        return false;
    }
}

void reportError(const std::exception& error) {
    QString text;
    if (const auto* e = dynamic_cast<const Error*>(&error)) {
        text = QStringLiteral("错误 %1：%2").arg(e->number()).arg(e->message());
    } else {
        text = QStringLiteral("错误：%1").arg(QString::fromLocal8Bit(error.what()));
    }
    MsgBox(text, mb::Critical);
}

void runEvent(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Error& error) {
        reportError(error);
    }
}

}  // namespace platform
