#include "sendcomment/feedback_dialog.h"

#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/http_exchange.h"
#include "common/interaction.h"
#include "platform/msgbox.h"
#include "sendcomment/feedback_outbox.h"

namespace companion {

namespace {
constexpr int kSendTimeoutMs = 8000;
}

QString FeedbackDialog::address() {
    const QString configured = qEnvironmentVariable("ZETTARA_FEEDBACK_URL");
    return configured.isEmpty() ? QStringLiteral("https://www.zettara-6471.example/feedback")
                                : configured;
}

FeedbackDialog::FeedbackDialog(const QString& product) : product_(product) {
    setWindowTitle(product.isEmpty() ? QStringLiteral("意见反馈") : product);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* textLabel = new QLabel(QStringLiteral("请写下您的意见或建议："), this);
    layout->addWidget(textLabel);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("feedbackText"));
    textLabel->setBuddy(text_);
    layout->addWidget(text_);
    auto* contactLabel = new QLabel(QStringLiteral("联系方式（可不填）："), this);
    layout->addWidget(contactLabel);
    contact_ = new QLineEdit(this);
    contact_->setObjectName(QStringLiteral("feedbackContact"));
    contactLabel->setBuddy(contact_);
    layout->addWidget(contact_);

    auto* buttons = new QDialogButtonBox(this);
    send_ = buttons->addButton(QStringLiteral("发送"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
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
    const QString text = text_->toPlainText();
    const QString contact = contact_->text().trimmed();
    if (text.trimmed().isEmpty()) {
        Interaction::tell(QStringLiteral("请先写下您的意见。"), platform::mb::Exclamation);
        return;
    }

    const QJsonObject message{{QStringLiteral("product"), product_},
                              {QStringLiteral("text"), text},
                              {QStringLiteral("contact"), contact}};
    send_->setEnabled(false);
    const HttpExchange::Result result = HttpExchange::post(
        QUrl(address()), QJsonDocument(message).toJson(QJsonDocument::Compact),
        "application/json; charset=utf-8",
        HttpExchange::timeoutFromEnvironment("ZETTARA_FEEDBACK_TIMEOUT_MS", kSendTimeoutMs));
    send_->setEnabled(true);

    if (result.ok) {
        outcome_ = Sent;
        Interaction::tell(QStringLiteral("您的意见已发送，谢谢！"), platform::mb::Information);
        accept();
        return;
    }
    const QString kept = FeedbackOutbox::keep(product_, text, contact);
    if (kept.isEmpty()) {
        outcome_ = NotSent;
        Interaction::tell(QStringLiteral("您的意见暂时无法发送（%1），也无法保存到 %2。\n"
                                         "请稍后再试，窗口中的内容不会丢失。")
                              .arg(result.error, FeedbackOutbox::folder()),
                          platform::mb::Critical);
        return;
    }
    outcome_ = Kept;
    Interaction::tell(
        QStringLiteral("您的意见暂时无法发送（%1）。\n已保存在：\n%2").arg(result.error, kept),
        platform::mb::Exclamation);
    accept();
}

}  // namespace companion
