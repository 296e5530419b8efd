// Entry point of the feedback library.
//
// ShowComment(product): shows the modal feedback form titled with the product text. Returns 0
// when cancelled, 1 when sent, 2 when kept in the outbox, -1 when it could neither be sent nor
// kept. Never raises.
//
// In builds with test hooks (common/test_hooks.h) a test may name the post's address, its
// timeout and the outbox folder, or fill the form and press Send without showing it.

#include <QEventLoop>
#include <QtGlobal>
#include <exception>

#include "common/test_hooks.h"
#include "platform/core/encoding.h"
#include "sendcomment/feedback_dialog.h"

extern "C" Q_DECL_EXPORT int ShowComment(const char* product) {
    // Nothing may unwind into the caller across the C boundary.
    try {
        companion::FeedbackDialog dialog(product ? platform::fromAnsi(QByteArray(product))
                                                 : QString());
#ifdef ZETTARA_TEST_HOOKS
        if (companion::TestHooks::isSet(companion::TestHooks::FeedbackAutosubmit)) {
            const QString fields =
                companion::TestHooks::value(companion::TestHooks::FeedbackAutosubmit);
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
