#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/app.h"

namespace platform {
namespace {

MsgBoxImpl& override() {
    static MsgBoxImpl impl;
    return impl;
}

int showReal(const QString& text, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    // A short text makes a box too narrow for its own title bar; give the text room for it.
    const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 100;
    box.setStyleSheet(
        QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(titleWidth));
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
