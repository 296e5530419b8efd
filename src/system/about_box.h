#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// The About box: title, version, icon, description and a link to the product web page.
// One shared window, shown without an owner and without modality.
class frmAbout : public QDialog {
  public:
    // Shows the shared About box with the given icon, creating and loading it when it is not
    // open, otherwise bringing the open one forward. Returns the window.
    static frmAbout* Show(const QIcon& icon);
    // The open About box, or nullptr.
    static frmAbout* current();

    // Replaces how the link's address is opened; an empty function restores the default
    // browser.
    static void setOpenerForTests(std::function<void(const QString& address)> opener);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QFrame* Line1[2];
    QLabel* lblDisclaimer;
    QLabel* Label_链接官方网站;
    QPushButton* cmdOK;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit frmAbout(const QIcon& icon);
    void Form_Load();
    void cmdOK_Click();
    void Label_链接官方网站_MouseDown(Qt::MouseButton button);

    QIcon icon_;
};
