// Entry points of the update library. Both return at once and do their work on the caller's
// event loop, which must be the application's; neither ever raises.
//
// DoUpdate(listAddress): fetches the update list, and when it names a version newer than the
// program's, asks in a box that does not block the program whether to open the download page.
// BeginUpdate(listAddress): the same check without the question: opens the download page of a
// newer version directly.
// Both return 1 when the check was started, 0 when none could start (no address, not a web
// address, no application or another thread). What the check finds is not reported back.
//
// In builds with test hooks (common/test_hooks.h) a test may answer the question, bound the
// fetch, and have boxes and launches recorded instead of shown.

#include <QtGlobal>
#include <exception>

#include "platform/core/encoding.h"
#include "update/update_check.h"

namespace {

int startCheck(const char* listAddress, bool ask) {
    // Nothing may unwind into the caller across the C boundary.
    try {
        if (!listAddress) return 0;
        const QUrl address(platform::fromAnsi(QByteArray(listAddress)).trimmed());
        return companion::UpdateCheck::start(address, ask) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

extern "C" Q_DECL_EXPORT int DoUpdate(const char* listAddress) {
    return startCheck(listAddress, true);
}

extern "C" Q_DECL_EXPORT int BeginUpdate(const char* listAddress) {
    return startCheck(listAddress, false);
}
