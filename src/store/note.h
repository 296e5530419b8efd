#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <optional>
#include <variant>

#include "platform/core/colour.h"

// A colour column as the program reads it (platform::toInt32), or the error that reading gave
// (NULL, not a number, out of range): a note window raises it again, so that a note it cannot
// show fails to open just as when the value is read at that moment.
using StoredColour = std::variant<std::int32_t, std::exception_ptr>;

// The colour, or the error reading it gave.
inline std::int32_t colourValue(const StoredColour& colour) {
    if (const auto* error = std::get_if<std::exception_ptr>(&colour))
        std::rethrow_exception(*error);
    return std::get<std::int32_t>(colour);
}

// One row of Tips, read as the list and the note windows show it.
struct Note {
    std::int64_t id = 0;
    // The stored texts as platform::toText gives them; empty where the value is NULL.
    QString content;
    QString createTime;
    QString changeTime;
    StoredColour backColor = std::int32_t{0};
    StoredColour fontColor = std::int32_t{0};
    // Visual as platform::toBool reads it; false where it cannot be read.
    bool visual = false;
};

// The colour when a note window can take it (platform::storedColour), else nothing.
inline std::optional<std::int32_t> usableColour(const StoredColour& colour) {
    if (const auto* value = std::get_if<std::int32_t>(&colour))
        return platform::storedColour(*value);
    return std::nullopt;
}
