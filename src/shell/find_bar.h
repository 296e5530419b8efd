#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLineEdit;

// The find field under the note list: what the user types, split into words, narrows the list
// as they type. Esc or the close button empties and hides it.
class FindBar : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(FindBar)

  public:
    explicit FindBar(QWidget* parent);

    // Shown with the focus in the field and its text selected, so that typing starts anew.
    void open();
    // Emptied and hidden.
    void dismiss();

    // The words typed (split on white space); none once the field is emptied.
    std::function<void(const QStringList&)> wordsChanged;
    // The bar was shown or hidden: the list around it needs a new size.
    std::function<void()> toggled;

  private:
    QLineEdit* field_;
};
