#include "update/update_check.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include "common/interaction.h"
#include "common/test_hooks.h"
#include "platform/core/app.h"
#include "platform/net/bounded_fetch.h"
#include "platform/ui/msgbox.h"
#include "update/update_list.h"

namespace companion {

namespace {
constexpr int kFetchTimeoutMs = 5000;
constexpr qint64 kLongestList = 64LL * 1024;
}  // namespace

bool UpdateCheck::start(const QUrl& listAddress, bool ask) {
    QCoreApplication* application = QCoreApplication::instance();
    const QString scheme = listAddress.scheme().toLower();
    if (!application || QThread::currentThread() != application->thread() ||
        !listAddress.isValid() || listAddress.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return false;
    }
    auto* check = new UpdateCheck(ask);
    check->setParent(application);
    connect(application, &QCoreApplication::aboutToQuit, check, &QObject::deleteLater);
    const int timeout = TestHooks::timeoutMs(TestHooks::UpdateTimeoutMs, kFetchTimeoutMs);
    auto* fetch = new platform::BoundedFetch(listAddress, {kLongestList, timeout}, check);
    connect(fetch, &platform::BoundedFetch::done, check,
            [check](bool ok, const QByteArray& body) { check->listArrived(ok, body); });
    return true;
}

UpdateCheck::UpdateCheck(bool ask) : ask_(ask) {
    setObjectName(QStringLiteral("updateCheck"));
}

UpdateCheck::~UpdateCheck() {
    delete question_.data();
}

void UpdateCheck::listArrived(bool ok, const QByteArray& body) {
    const std::optional<UpdateList> list = ok ? UpdateList::parse(body) : std::nullopt;
    const std::optional<UpdateList::Version> current =
        UpdateList::parseVersion(platform::app::versionText());
    if (list && current && list->version() > *current) {
        if (ask_) {
            offer(*list);
            return;
        }
        Interaction::open(list->download());
    }
    deleteLater();
}

void UpdateCheck::offer(const UpdateList& list) {
    QString text = QCoreApplication::translate("UpdateCheck", "发现新版本 %1（当前版本 %2）。")
                       .arg(list.versionText(), platform::app::versionText());
    if (!list.notes().isEmpty()) text += QStringLiteral("\n\n") + list.notes();
    text +=
        QStringLiteral("\n\n") + QCoreApplication::translate("UpdateCheck", "是否打开下载页面？");
    const QUrl& download = list.download();

    Interaction::record(QStringLiteral("ask"), text);
    const QString answer = TestHooks::value(TestHooks::UpdateAnswer).trimmed().toLower();
    if (answer == QLatin1String("yes") || answer == QLatin1String("no") || Interaction::traced()) {
        if (answer == QLatin1String("yes")) Interaction::open(download);
        deleteLater();
        return;
    }

    // The program goes on while the question waits for the user.
    question_ = platform::makeMsgBox(text, platform::mb::YesNo | platform::mb::Question);
    question_->setObjectName(QStringLiteral("updateQuestion"));
    question_->setWindowModality(Qt::NonModal);
    question_->setAttribute(Qt::WA_DeleteOnClose);
    connect(question_, &QDialog::finished, this, [this, download] {
        if (platform::msgBoxAnswer(*question_) == platform::mb::Yes) Interaction::open(download);
        deleteLater();
    });
    // Gone with the window it belonged to: unanswered.
    connect(question_, &QObject::destroyed, this, &QObject::deleteLater);
    question_->show();
    question_->raise();
    question_->activateWindow();
}

}  // namespace companion
