#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace companion {

// Modal feedback form: a text, an optional contact, Send and Cancel. Send posts the text; when
// that fails the text goes to the outbox and the user is told where. The form stays open when
// the text could neither be sent nor kept, so nothing typed is lost.
class FeedbackDialog : public QDialog {
  public:
    enum Outcome { Cancelled = 0, Sent = 1, Kept = 2, NotSent = -1 };

    explicit FeedbackDialog(const QString& product);

    void fill(const QString& text, const QString& contact);
    // What the Send button does.
    void send();
    Outcome outcome() const { return outcome_; }

    static QString address();

  private:
    QString product_;
    QPlainTextEdit* text_;
    QLineEdit* contact_;
    QPushButton* send_;
    Outcome outcome_ = Cancelled;
};

}  // namespace companion
