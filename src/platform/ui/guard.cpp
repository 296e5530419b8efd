#include "platform/ui/guard.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>

#include "platform/core/error.h"
#include "platform/core/error_text.h"
#include "platform/ui/msgbox.h"

namespace platform {
namespace {

// Off unless asked for (QT_LOGGING_RULES="zettara.guard.debug=true"): a skipped step is an
// expected outcome, but it must be possible to see which ones were skipped and why.
Q_LOGGING_CATEGORY(lcGuard, "zettara.guard", QtInfoMsg)

}  // namespace

QString unexpectedErrorText(const char* what) {
    QString sentence = troubleText(Trouble::Internal);
    if (!what || !*what) return sentence;
    return QCoreApplication::translate("ErrorText", "%1\n（%2）")
        .arg(sentence, QString::fromLocal8Bit(what));
}

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
    const auto* ours = dynamic_cast<const Error*>(&error);
    MsgBox(ours ? userText(*ours) : unexpectedErrorText(error.what()), mb::Critical);
}

void runEvent(const std::function<void()>& handler) {
    // Nothing may unwind through Qt's signal and event code: every exception stops here.
    try {
        handler();
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        MsgBox(unexpectedErrorText(nullptr), mb::Critical);
    }
}

}  // namespace platform
