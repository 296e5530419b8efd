// Entry point of the feedback library.
//
// ShowComment(product): shows the modal feedback form titled with the product text. Returns 0
// when cancelled, 1 when sent, 2 when kept in the outbox, -1 when it could neither be sent nor
// kept. Never raises.
//
// ZETTARA_FEEDBACK_OUTBOX names another folder for unsent feedback. In builds with test hooks
// also: ZETTARA_FEEDBACK_URL (where to post), ZETTARA_FEEDBACK_TIMEOUT_MS,
// ZETTARA_FEEDBACK_AUTOSUBMIT ("text|contact": fill the form and press Send without showing
// it), ZETTARA_COMPANION_TRACE (see common/interaction.h).

#include <QEventLoop>
#include <QtGlobal>
#include <exception>

#include "platform/core/encoding.h"
#include "sendcomment/feedback_dialog.h"

extern "C" Q_DECL_EXPORT int ShowComment(const char* product) {
    // Nothing may unwind into the caller across the C boundary.
    try {
        companion::FeedbackDialog dialog(product ? platform::fromAnsi(QByteArray(product))
                                                 : QString());
#ifdef ZETTARA_TEST_HOOKS
        if (qEnvironmentVariableIsSet("ZETTARA_FEEDBACK_AUTOSUBMIT")) {
            const QString fields = qEnvironmentVariable("ZETTARA_FEEDBACK_AUTOSUBMIT");
            const qsizetype bar = fields.lastIndexOf(QLatin1Char('|'));
            dialog.fill(bar < 0 ? fields : fields.left(bar),
                        bar < 0 ? QString() : fields.mid(bar + 1));
            QEventLoop sending;
            QObject::connect(&dialog, &companion::FeedbackDialog::sendEnded, &sending,
                             &QEventLoop::quit);
            dialog.send();
            if (dialog.sending()) sending.exec();
            return dialog.outcome();
        }
#endif
        dialog.exec();
        return dialog.outcome();
    } catch (const std::exception&) {
        return companion::FeedbackDialog::NotSent;
    }
}
