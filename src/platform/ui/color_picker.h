#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>
#include <cstdint>
#include <functional>

namespace platform {

// A push button that shows its colour as a swatch beside its caption and lets the user choose
// a new one. Colours are 0x00BBGGRR.
class ColorPicker : public QPushButton {
    Q_OBJECT
  public:
    explicit ColorPicker(const QString& caption = {}, QWidget* parent = nullptr);

    std::int32_t color() const { return colour_; }
    // Sets the colour without raising colorPicked.
    void setColor(std::int32_t value);

    // Asks the user for a colour (the chooser below); a confirmed choice becomes the colour and
    // raises colorPicked, a cancelled one changes nothing.
    void pick();

    // A square of colour (0x00BBGGRR) with a border: the swatch the picker shows.
    static QIcon swatch(std::int32_t colour, const QColor& border);

    // Raised only when the user picks a colour.
    std::function<void(std::int32_t)> colorPicked;

    // How the colour is chosen: returns the chosen colour, or an invalid QColor when the user
    // cancels.
    using Chooser =
        std::function<QColor(const QColor& initial, QWidget* parent, const QString& title)>;

  protected:
    // The program always opens QColorDialog; a test reaches this through a subclass to pick
    // without a modal dialog. Returns the previous chooser; an empty function restores the
    // dialog.
    static Chooser setChooser(Chooser chooser);

  private:
    void showSwatch();

    std::int32_t colour_ = 0;
};

}  // namespace platform
