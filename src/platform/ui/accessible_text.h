#pragma once

#include <QColor>
#include <QString>

namespace platform {

// What a screen reader says for things the screen shows in other ways.

// Longest name made from a note's text; the whole text stays readable in the note itself.
inline constexpr qsizetype kSpokenNameChars = 80;

// A text as a name: one line, blanks collapsed, cut at kSpokenNameChars with "…".
QString spokenName(const QString& text);

// A colour in words: the nearest of a few named colours and its #RRGGBB, e.g. "浅黄色（#FFFFC0）".
QString colourName(const QColor& colour);

}  // namespace platform
