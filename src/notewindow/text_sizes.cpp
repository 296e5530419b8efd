#include "notewindow/text_sizes.h"

#include <QFontDatabase>
#include <QList>
#include <algorithm>

namespace textsizes {

std::optional<int> stepped(std::optional<int> current, double ownPoints, int step) {
    if (step == 0) return std::nullopt;
    QList<int> sizes = QFontDatabase::standardSizes();
    sizes.removeIf([](int s) { return s < kSmallest || s > kLargest; });
    const double from = current ? *current : ownPoints;
    if (step > 0) {
        const auto next =
            std::find_if(sizes.cbegin(), sizes.cend(), [&](int s) { return s > from; });
        return next != sizes.cend() ? *next : current;
    }
    const auto next = std::find_if(sizes.crbegin(), sizes.crend(), [&](int s) { return s < from; });
    return next != sizes.crend() ? *next : current;
}

}  // namespace textsizes
