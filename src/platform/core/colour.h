#pragma once

#include <QColor>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace platform {

// Colours are 0x00BBGGRR (red in the low byte). A value with the top bit set names a system
// colour (0x80000000 | index), mapped to the application palette.
QColor toQColor(std::int32_t value);
std::int32_t fromQColor(const QColor& colour);
// A colour field read from the store; nothing when it is NULL, not a number, or neither a
// 0x00BBGGRR value nor a system colour with a palette entry.
std::optional<std::int32_t> storedColour(const QVariant& field);
// The same for a value already read as a number.
std::optional<std::int32_t> storedColour(std::int32_t value);

// A new note's colours: pale yellow, black text.
inline constexpr std::int32_t kNoteBackColour = 12648447;
inline constexpr std::int32_t kNoteTextColour = 0;

inline constexpr std::int32_t kButtonTextColour = static_cast<std::int32_t>(0x80000012u);

}  // namespace platform
