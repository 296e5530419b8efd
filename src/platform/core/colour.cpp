#include "platform/core/colour.h"

#include <QApplication>
#include <QPalette>

#include "platform/core/convert.h"
#include "platform/core/error.h"

namespace platform {
namespace {

// System colour indexes (the low byte of a value with the top bit set) on the palette.
std::optional<QColor> paletteColour(int index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
        case 5:
            return palette.color(QPalette::Base);  // window background
        case 8:
            return palette.color(QPalette::Text);  // window text
        case 15:
            return palette.color(QPalette::Button);  // button face
        case 18:
            return palette.color(QPalette::ButtonText);  // button text
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 17:
            return palette.color(QPalette::Disabled, QPalette::Text);
        default:
            return std::nullopt;
    }
}

QColor systemColour(int index) {
    return paletteColour(index).value_or(QApplication::palette().color(QPalette::WindowText));
}

}  // namespace

QColor toQColor(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & 0x80000000u) return systemColour(static_cast<int>(bits & 0xFFu));
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

std::int32_t fromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                     (static_cast<std::uint32_t>(rgb.blue()) << 16));
}

std::optional<std::int32_t> storedColour(const QVariant& field) {
    try {
        return storedColour(toInt32(field));
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<std::int32_t> storedColour(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits <= 0x00FFFFFFu) return value;
    if ((bits & 0xFFFFFF00u) == 0x80000000u && paletteColour(static_cast<int>(bits & 0xFFu)))
        return value;
    return std::nullopt;
}

}  // namespace platform
