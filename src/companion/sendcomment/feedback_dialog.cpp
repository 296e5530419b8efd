#include "sendcomment/feedback_dialog.h"

#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/interaction.h"
#include "common/test_hooks.h"
#include "platform/net/bounded_fetch.h"
#include "platform/ui/msgbox.h"
#include "sendcomment/feedback_outbox.h"

namespace companion {

namespace {
constexpr int kSendTimeoutMs = 8000;
// An answer to a post is only read for its status; a small cap is enough.
constexpr qint64 kLongestAnswer = 64LL * 1024;
}  // namespace

QString FeedbackDialog::address() {
    const QString configured = TestHooks::value(TestHooks::FeedbackUrl);
    return configured.isEmpty() ? QStringLiteral("https://www.zettara-6471.example/feedback")
                                : configured;
}

FeedbackDialog::FeedbackDialog(const QString& product) : product_(product) {
    setWindowTitle(product.isEmpty() ? tr("意见反馈") : product);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* textLabel = new QLabel(tr("请写下您的意见或建议："), this);
    layout->addWidget(textLabel);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("feedbackText"));
    textLabel->setBuddy(text_);
    layout->addWidget(text_);
    auto* contactLabel = new QLabel(tr("联系方式（可不填）："), this);
    layout->addWidget(contactLabel);
    contact_ = new QLineEdit(this);
    contact_->setObjectName(QStringLiteral("feedbackContact"));
    contactLabel->setBuddy(contact_);
    layout->addWidget(contact_);

    auto* buttons = new QDialogButtonBox(this);
    send_ = buttons->addButton(tr("发送"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    send_->setDefault(true);
    connect(send_, &QPushButton::clicked, this, [this] { send(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 320);
}

void FeedbackDialog::fill(const QString& text, const QString& contact) {
    text_->setPlainText(text);
    contact_->setText(contact);
}

void FeedbackDialog::send() {
    if (sending_) return;
    const QString text = text_->toPlainText();
    const QString contact = contact_->text().trimmed();
    if (text.trimmed().isEmpty()) {
        Interaction::tell(tr("请先写下您的意见。"), platform::mb::Exclamation);
        return;
    }

    const QJsonObject message{{QStringLiteral("product"), product_},
                              {QStringLiteral("text"), text},
                              {QStringLiteral("contact"), contact}};
    sending_ = true;
    send_->setEnabled(false);
    auto* post = new platform::BoundedFetch(
        QUrl(address()), QJsonDocument(message).toJson(QJsonDocument::Compact),
        "application/json; charset=utf-8",
        {kLongestAnswer, TestHooks::timeoutMs(TestHooks::FeedbackTimeoutMs, kSendTimeoutMs)}, this);
    connect(post, &platform::BoundedFetch::done, this,
            [this, post, text, contact](bool ok) { sent(ok, post->errorText(), text, contact); });
}

void FeedbackDialog::reject() {
    if (!sending_) QDialog::reject();
}

void FeedbackDialog::sent(bool ok, const QString& error, const QString& text,
                          const QString& contact) {
    sending_ = false;
    send_->setEnabled(true);
    if (ok) {
        outcome_ = Sent;
        Interaction::tell(tr("您的意见已发送，谢谢！"), platform::mb::Information);
        accept();
        emit sendEnded();
        return;
    }
    const QString kept = FeedbackOutbox::keep(product_, text, contact);
    if (kept.isEmpty()) {
        outcome_ = NotSent;
        Interaction::tell(tr("您的意见暂时无法发送：%1\n\n它也无法保存到 %2。窗口中的内容还在，"
                             "请稍后再试。")
                              .arg(error, FeedbackOutbox::folder()),
                          platform::mb::Critical);
        emit sendEnded();
        return;
    }
    outcome_ = Kept;
    Interaction::tell(tr("您的意见暂时无法发送：%1\n\n它已保存在：\n%"
                         "2\n网络恢复后，可以再次打开意见反馈，把文件中的内容粘贴进去发送。")
                          .arg(error, kept),
                      platform::mb::Exclamation);
    accept();
    emit sendEnded();
}

}  // namespace companion
