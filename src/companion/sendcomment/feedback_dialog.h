#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace companion {

// Modal feedback form: a text, an optional contact, Send and Cancel. Send posts the text while
// the form waits, still painted, for the answer; when sending fails the text goes to the outbox
// and the user is told where. The form stays open when the text could neither be sent nor kept,
// so nothing typed is lost.
class FeedbackDialog : public QDialog {
    Q_OBJECT
  public:
    enum Outcome { Cancelled = 0, Sent = 1, Kept = 2, NotSent = -1 };

    explicit FeedbackDialog(const QString& product);

    void fill(const QString& text, const QString& contact);
    // What the Send button does: starts sending, or tells why not.
    void send();
    bool sending() const { return sending_; }
    Outcome outcome() const { return outcome_; }
    // Cancel does nothing while the text is on its way.
    void reject() override;

    static QString address();

  signals:
    // A send has ended, whatever its outcome.
    void sendEnded();

  private:
    void sent(bool ok, const QString& error, const QString& text, const QString& contact);

    QString product_;
    QPlainTextEdit* text_;
    QLineEdit* contact_;
    QPushButton* send_;
    Outcome outcome_ = Cancelled;
    bool sending_ = false;
};

}  // namespace companion
