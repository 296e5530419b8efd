#pragma once

#include <optional>

// The text sizes a note offers: the standard sizes from 6 to 48 points.
namespace textsizes {

constexpr int kSmallest = 6;
constexpr int kLargest = 48;

// The size one step larger (step > 0) or smaller (step < 0) than `current`, where none means
// the window's own size `ownPoints`; at either end the size stays. Step 0: none.
std::optional<int> stepped(std::optional<int> current, double ownPoints, int step);

}  // namespace textsizes
