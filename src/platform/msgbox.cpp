#include "platform/msgbox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "platform/app.h"

namespace platform {
namespace {

// Room left on the screen for the window frame around a box.
constexpr int kFrameSides = 16;
constexpr int kFrameTopAndBottom = 48;

MsgBoxImpl& override() {
    static MsgBoxImpl impl;
    return impl;
}

// QMessageBox sizes itself when shown: it wraps long lines and keeps the box within the
// screen's width, but on a small screen counts no room for the window frame. This one makes
// that room, and keeps the box within the screen's height too: a text too tall for the screen
// loses lines from its middle, so that its opening, its closing question and the buttons stay
// visible.
class FittedMessageBox : public QMessageBox {
  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const QSize placed = size();
        const QRect screen = this->screen()->availableGeometry();
        fitWidth(screen.width() - kFrameSides);
        const int room = screen.height() - kFrameTopAndBottom;
        if (height() > room) {
            const QStringList lines = text().split(QLatin1Char('\n'));
            for (qsizetype keep = lines.size() * room / height(); keep > 1 && height() > room;
                 --keep) {
                const qsizetype head = (keep + 1) / 2;
                setText(lines.mid(0, head).join(QLatin1Char('\n')) + QStringLiteral("\n……\n") +
                        lines.mid(lines.size() - (keep - head)).join(QLatin1Char('\n')));
                fitWidth(screen.width() - kFrameSides);
            }
        }
        if (size() != placed) adjustPosition(parentWidget());
    }

  private:
    void fitWidth(int room) {
        if (width() <= room) return;
        const QLayout* grid = layout();
        setFixedSize(room, grid->hasHeightForWidth() ? grid->totalHeightForWidth(room)
                                                     : grid->totalMinimumSize().height());
        // As QMessageBox does after sizing: a pending relayout would undo this.
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }
};

int showReal(const QString& text, int style, const QString& title) {
    FittedMessageBox box;
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    // A short text makes a box too narrow for its own title bar. The room is kept by the
    // buttons' row: a minimum on the text itself would stop it from wrapping and cut it off.
    const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 100;
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) {
        buttons->setMinimumWidth(qMin(titleWidth, box.screen()->availableGeometry().width() / 2));
    }
    switch (style & 0x70) {
        case mb::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case mb::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case mb::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case mb::Information:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    if ((style & 7) == mb::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? mb::Yes : mb::No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return mb::Ok;
}

}  // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    const QString caption = title.isEmpty() ? app::title() : title;
    if (override()) return override()(text, style, caption);
    return showReal(text, style, caption);
}

MsgBoxImpl setMsgBoxImpl(MsgBoxImpl impl) {
    MsgBoxImpl previous = std::move(override());
    override() = std::move(impl);
    return previous;
}

}  // namespace platform
