#include "platform/ui/color_picker.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "platform/core/colour.h"
#include "platform/ui/accessible_text.h"

namespace platform {

namespace {

QColor dialogChooser(const QColor& initial, QWidget* parent, const QString& title) {
    return QColorDialog::getColor(initial, parent, title);
}

ColorPicker::Chooser& chooser() {
    static ColorPicker::Chooser current = dialogChooser;
    return current;
}

constexpr int kSwatchSide = 14;

}  // namespace

ColorPicker::ColorPicker(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setIconSize(QSize(kSwatchSide, kSwatchSide));
    showSwatch();
    connect(this, &QPushButton::clicked, this, [this] { pick(); });
}

void ColorPicker::setColor(std::int32_t value) {
    colour_ = value;
    showSwatch();
}

void ColorPicker::pick() {
    // The caption may carry a mnemonic; the dialog title should not.
    QString title = text();
    title.remove(QLatin1Char('&'));
    const QColor chosen = chooser()(toQColor(colour_), window(), title);
    if (!chosen.isValid()) return;
    setColor(fromQColor(chosen));
    if (colorPicked) colorPicked(colour_);
}

ColorPicker::Chooser ColorPicker::setChooser(Chooser replacement) {
    Chooser previous = chooser();
    chooser() = replacement ? std::move(replacement) : Chooser(dialogChooser);
    return previous;
}

void ColorPicker::showSwatch() {
    // The caption is the name; what the swatch shows is said in words.
    setAccessibleDescription(tr("当前颜色：%1").arg(colourName(toQColor(colour_))));
    setIcon(swatch(colour_, palette().color(QPalette::Mid)));
}

QIcon ColorPicker::swatch(std::int32_t colour, const QColor& border) {
    QPixmap square(kSwatchSide, kSwatchSide);
    square.fill(toQColor(colour));
    QPainter painter(&square);
    painter.setPen(border);
    painter.drawRect(0, 0, kSwatchSide - 1, kSwatchSide - 1);
    painter.end();
    return QIcon(square);
}

}  // namespace platform
