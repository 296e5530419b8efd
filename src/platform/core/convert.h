#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace platform {

// Value conversions with the program's rules. A NULL value raises errc::invalidUseOfNull; a
// value that is not a number where one is needed raises errc::typeMismatch.
QString toText(const QVariant& value);        // integers as plain decimal digits; text unchanged
std::int32_t toInt32(const QVariant& value);  // numbers and numeric text, rounded; range-checked
double toDouble(const QVariant& value);
bool toBool(const QVariant& value);  // non-zero is true; "True"/"False" text too

// A row identifier as the list shows it: plain decimal text (an optional '-'
// and ASCII digits, nothing else) within 64 bits. Anything else gives nothing.
std::optional<std::int64_t> parseIdentifier(const QString& text);
// The same, raising errc::typeMismatch for text that is not an identifier.
std::int64_t toIdentifier(const QString& text);

}  // namespace platform
