#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "platform/core/app.h"
#include "platform/ui/owner_window.h"

namespace platform {
namespace {

// Room left on the screen for the window frame around a box.
constexpr int kFrameTopAndBottom = 48;

MsgBoxImpl& override() {
    static MsgBoxImpl impl;
    return impl;
}

// QMessageBox wraps at word boundaries only, and cuts off a run it cannot break (a path, an
// address) when the run is nearly as wide as the box may be. Zero-width spaces give it places
// to break: after a path separator, and in any long run. Never inside a character.
QString breakable(const QString& text) {
    constexpr int kLongestRun = 24;
    constexpr QChar kBreak(0x200B);
    QString out;
    out.reserve(text.size() + text.size() / 8);
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace()) {
            run = 0;
        } else if (run > 0 && !c.isLowSurrogate() && !c.isMark()) {
            const QChar before = text[i - 1];
            if (run >= kLongestRun || before == QLatin1Char('/') || before == QLatin1Char('\\')) {
                out += kBreak;
                run = 0;
            }
        }
        out += c;
        if (!c.isSpace()) ++run;
    }
    return out;
}

// QMessageBox sizes itself when shown and keeps the box within the screen's width. This one
// keeps it within the screen's height too: a text too tall for the screen loses lines from its
// middle, so that its opening, its closing question and the buttons stay visible.
class FittedMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const QSize placed = size();
        const QRect screen = this->screen()->availableGeometry();
        const int room = screen.height() - kFrameTopAndBottom;
        if (height() > room) {
            const QStringList lines = text().split(QLatin1Char('\n'));
            for (qsizetype keep = lines.size() * room / height(); keep > 1 && height() > room;
                 --keep) {
                const qsizetype head = (keep + 1) / 2;
                setText(lines.mid(0, head).join(QLatin1Char('\n')) + QStringLiteral("\n……\n") +
                        lines.mid(lines.size() - (keep - head)).join(QLatin1Char('\n')));
            }
        }
        if (size() != placed) adjustPosition(parentWidget());
    }
};

}  // namespace

QMessageBox* makeMsgBox(const QString& text, int style, const QString& title) {
    auto* made = new FittedMessageBox(ownerWindow());
    FittedMessageBox& box = *made;
    box.setWindowTitle(title.isEmpty() ? app::title() : title);
    box.setTextFormat(Qt::PlainText);
    box.setText(breakable(text));
    // A short text makes a box too narrow for its own title bar. The room is kept by the
    // buttons' row: a minimum on the text itself would stop it from wrapping and cut it off.
    const int titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 100;
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
    if ((style & 7) == mb::YesNo || (style & 7) == mb::YesNoCancel) {
        QPushButton* yes =
            box.addButton(QCoreApplication::translate("MsgBox", "是(&Y)"), QMessageBox::YesRole);
        QPushButton* no =
            box.addButton(QCoreApplication::translate("MsgBox", "否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        // Escape and the box's close button take the answer that changes nothing.
        if ((style & 7) == mb::YesNoCancel)
            box.setEscapeButton(box.addButton(QCoreApplication::translate("MsgBox", "取消"),
                                              QMessageBox::RejectRole));
    } else {
        QPushButton* ok =
            box.addButton(QCoreApplication::translate("MsgBox", "确定"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    return made;
}

int msgBoxAnswer(const QMessageBox& box) {
    switch (box.buttonRole(box.clickedButton())) {
        case QMessageBox::YesRole:
            return mb::Yes;
        case QMessageBox::NoRole:
            return mb::No;
        case QMessageBox::RejectRole:
            return mb::Cancel;
        default:
            return box.buttons().size() > 1 ? mb::No : mb::Ok;
    }
}

int MsgBox(const QString& text, int style, const QString& title) {
    const QString caption = title.isEmpty() ? app::title() : title;
    if (override()) return override()(text, style, caption);
    // The window it belongs to may close while it is open, and take the box with it.
    const QPointer<QMessageBox> box(makeMsgBox(text, style, caption));
    box->exec();
    if (!box) return (style & 7) == mb::YesNo ? mb::No : mb::Ok;
    const int answer = msgBoxAnswer(*box);
    delete box.data();
    return answer;
}

MsgBoxImpl MsgBoxSeam::setMsgBoxImpl(MsgBoxImpl impl) {
    MsgBoxImpl previous = std::move(override());
    override() = std::move(impl);
    return previous;
}

}  // namespace platform
