// Entry points of the update library.
//
// DoUpdate(listAddress): fetches the update list, and when it names a version newer than the
// program's, asks whether to open the download page. Returns 0 when nothing was offered
// (offline, unreadable list, no newer version), 1 when the user declined, 2 when the download
// page was opened. Never raises and never waits longer than the fetch deadline plus the user.
// BeginUpdate(listAddress): the same check without the question: opens the download page of a
// newer version directly.
//
// Environment for scripted runs: ZETTARA_UPDATE_ANSWER ("yes"/"no") answers the question
// without a box; ZETTARA_UPDATE_TIMEOUT_MS bounds the fetch; ZETTARA_COMPANION_TRACE (see
// common/interaction.h).

#include <QtGlobal>
#include <exception>

#include "common/http_exchange.h"
#include "common/interaction.h"
#include "platform/app.h"
#include "platform/encoding.h"
#include "platform/msgbox.h"
#include "update/update_list.h"

namespace {

constexpr int kFetchTimeoutMs = 5000;
constexpr qint64 kLongestList = 64 * 1024;

bool askToOpen(const companion::UpdateList& list) {
    QString question = QStringLiteral("发现新版本 %1（当前版本 %2）。")
                           .arg(list.versionText(), platform::app::versionText());
    if (!list.notes().isEmpty()) question += QStringLiteral("\n\n") + list.notes();
    question += QStringLiteral("\n\n是否打开下载页面？");

    companion::Interaction::record(QStringLiteral("ask"), question);
    const QString answer = qEnvironmentVariable("ZETTARA_UPDATE_ANSWER").trimmed().toLower();
    if (answer == QLatin1String("yes")) return true;
    if (answer == QLatin1String("no") || companion::Interaction::traced()) return false;
    return platform::MsgBox(question, platform::mb::YesNo | platform::mb::Question) ==
           platform::mb::Yes;
}

int checkForUpdate(const char* listAddress, bool ask) {
    if (!listAddress) return 0;
    const QUrl address(platform::fromAnsi(QByteArray(listAddress)).trimmed());
    const int timeout = companion::HttpExchange::timeoutFromEnvironment("ZETTARA_UPDATE_TIMEOUT_MS",
                                                                        kFetchTimeoutMs);
    const companion::HttpExchange::Result fetched =
        companion::HttpExchange::get(address, timeout, kLongestList);
    if (!fetched.ok) return 0;

    const std::optional<companion::UpdateList> list = companion::UpdateList::parse(fetched.body);
    const std::optional<companion::UpdateList::Version> current =
        companion::UpdateList::parseVersion(platform::app::versionText());
    if (!list || !current || !(list->version() > *current)) return 0;

    if (ask && !askToOpen(*list)) return 1;
    companion::Interaction::open(list->download());
    return 2;
}

int guardedCheck(const char* listAddress, bool ask) {
    // Nothing may unwind into the caller across the C boundary.
    try {
        return checkForUpdate(listAddress, ask);
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

extern "C" Q_DECL_EXPORT int DoUpdate(const char* listAddress) {
    return guardedCheck(listAddress, true);
}

extern "C" Q_DECL_EXPORT int BeginUpdate(const char* listAddress) {
    return guardedCheck(listAddress, false);
}
