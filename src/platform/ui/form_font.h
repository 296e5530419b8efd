#pragma once

#include <QFont>

namespace platform {

// The font the program's windows are designed with: Tahoma 8.25 pt (the system substitutes a
// face it has, and CJK text falls back to a CJK face).
inline QFont formFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    return font;
}

}  // namespace platform
