#include "platform/ui/accessible_text.h"

#include <QCoreApplication>
#include <algorithm>

namespace platform {

namespace {

struct NamedColour {
    QRgb rgb;
    const char* name;
};

// Few enough for the names to be words everyone uses; the #RRGGBB beside them is exact.
constexpr NamedColour kNamedColours[] = {
    {0x000000, QT_TRANSLATE_NOOP("AccessibleText", "黑色")},
    {0x404040, QT_TRANSLATE_NOOP("AccessibleText", "深灰色")},
    {0x808080, QT_TRANSLATE_NOOP("AccessibleText", "灰色")},
    {0xC0C0C0, QT_TRANSLATE_NOOP("AccessibleText", "浅灰色")},
    {0xFFFFFF, QT_TRANSLATE_NOOP("AccessibleText", "白色")},
    {0xFF0000, QT_TRANSLATE_NOOP("AccessibleText", "红色")},
    {0x800000, QT_TRANSLATE_NOOP("AccessibleText", "深红色")},
    {0xFFC0CB, QT_TRANSLATE_NOOP("AccessibleText", "粉红色")},
    {0xFFA500, QT_TRANSLATE_NOOP("AccessibleText", "橙色")},
    {0x8B4513, QT_TRANSLATE_NOOP("AccessibleText", "棕色")},
    {0xFFFF00, QT_TRANSLATE_NOOP("AccessibleText", "黄色")},
    {0xFFFFC0, QT_TRANSLATE_NOOP("AccessibleText", "浅黄色")},
    {0x008000, QT_TRANSLATE_NOOP("AccessibleText", "绿色")},
    {0x90EE90, QT_TRANSLATE_NOOP("AccessibleText", "浅绿色")},
    {0x00FFFF, QT_TRANSLATE_NOOP("AccessibleText", "青色")},
    {0x0000FF, QT_TRANSLATE_NOOP("AccessibleText", "蓝色")},
    {0xADD8E6, QT_TRANSLATE_NOOP("AccessibleText", "浅蓝色")},
    {0x000080, QT_TRANSLATE_NOOP("AccessibleText", "深蓝色")},
    {0x800080, QT_TRANSLATE_NOOP("AccessibleText", "紫色")},
    {0xFF00FF, QT_TRANSLATE_NOOP("AccessibleText", "洋红色")},
};

// Squared distance weighted by the mean red ("redmean"): close to what the eye sees, without
// a conversion to a perceptual colour space.
int distance(QRgb a, QRgb b) {
    const int meanRed = (qRed(a) + qRed(b)) / 2;
    const int r = qRed(a) - qRed(b);
    const int g = qGreen(a) - qGreen(b);
    const int bl = qBlue(a) - qBlue(b);
    return (((512 + meanRed) * r * r) >> 8) + 4 * g * g + (((767 - meanRed) * bl * bl) >> 8);
}

}  // namespace

QString spokenName(const QString& text) {
    QString name = text.simplified();
    if (name.size() <= kSpokenNameChars) return name;
    qsizetype kept = kSpokenNameChars;
    if (name.at(kept - 1).isHighSurrogate()) --kept;
    name.truncate(kept);
    return name + QChar(0x2026);
}

QString colourName(const QColor& colour) {
    const QRgb rgb = colour.rgb();
    const auto nearest = std::min_element(std::begin(kNamedColours), std::end(kNamedColours),
                                          [rgb](const NamedColour& a, const NamedColour& b) {
                                              return distance(a.rgb, rgb) < distance(b.rgb, rgb);
                                          });
    return QCoreApplication::translate("AccessibleText", "%1（%2）")
        .arg(QCoreApplication::translate("AccessibleText", nearest->name),
             colour.name(QColor::HexRgb).toUpper());
}

}  // namespace platform
