#include "platform/ui/guard.h"

#include <QLoggingCategory>
#include <QString>

#include "platform/core/error.h"
#include "platform/ui/msgbox.h"

namespace platform {
namespace {

// Off unless asked for (QT_LOGGING_RULES="zettara.guard.debug=true"): a skipped step is an
// expected outcome, but it must be possible to see which ones were skipped and why.
Q_LOGGING_CATEGORY(lcGuard, "zettara.guard", QtInfoMsg)

const QString kUnknownError = QStringLiteral("错误：未知错误");

}  // namespace

bool guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const Error& error) {
        qCDebug(lcGuard).noquote() << "step skipped: error" << error.number() << error.message();
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
    // Nothing may unwind through Qt's signal and event code: every exception stops here.
    try {
        handler();
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        MsgBox(kUnknownError, mb::Critical);
    }
}

}  // namespace platform
