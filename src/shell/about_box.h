#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QIcon>
#include <functional>
#include <utility>

class QFrame;
class QLabel;
class QPushButton;

// The About box: title, version, icon, description and a link to the product web page. Shown
// without an owner and without modality; it is deleted when closed.
class frmAbout : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(frmAbout)

  public:
    // Creates the box loaded with the given icon, centred on the screen.
    explicit frmAbout(const QIcon& icon);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // How the link's address is opened (by default in the user's browser); tests record it.
    void setOpener(std::function<void(const QString& address)> opener) {
        opener_ = std::move(opener);
    }

  private:
    void Form_Load();
    void cmdOK_Click();
    void Label_链接官方网站_MouseDown(Qt::MouseButton button);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QFrame* Line1[2];
    QLabel* lblDisclaimer;
    QLabel* Label_链接官方网站;
    QPushButton* cmdOK;

    QIcon icon_;
    std::function<void(const QString& address)> opener_;
};
