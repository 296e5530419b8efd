#include "sync/line_merge.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

using Lines = std::vector<int>;  // a text's lines, each as the number of its distinct text

// The middle-snake search stops looking for the shortest diff past this many edits: texts that
// far apart get a longer diff instead of taking seconds (a limit on edits, not on time, so
// that every machine gets the same result).
constexpr std::ptrdiff_t kMaxEditsPerSearch = 2048;
// Past this many diagonals searched in all, the diff gives up and calls what is left replaced,
// so that even a text built to be slow (a few distinct lines in random order) merges in a
// fraction of a second, into a coarser conflict.
constexpr std::int64_t kMaxWork = 20'000'000;

// Myers' O(ND) difference in linear space: for each line of `a`, the line of `b` it is kept
// as, or -1.
class LineDiff {
  public:
    LineDiff(const Lines& a, const Lines& b) : a_(a), b_(b), match_(a.size(), -1) {}

    std::vector<std::ptrdiff_t> run() && {
        // Lines that the other text lacks can never be kept; leaving them out first makes
        // wholly rewritten texts cheap.
        const auto present = [](const Lines& in, const Lines& other) {
            std::vector<bool> seen;
            for (const int line : other) {
                if (static_cast<std::size_t>(line) >= seen.size()) {
                    seen.resize(static_cast<std::size_t>(line) + 1);
                }
                seen[line] = true;
            }
            std::vector<std::ptrdiff_t> kept;
            for (std::size_t i = 0; i < in.size(); ++i) {
                if (static_cast<std::size_t>(in[i]) < seen.size() && seen[in[i]]) {
                    kept.push_back(static_cast<std::ptrdiff_t>(i));
                }
            }
            return kept;
        };
        const auto keptA = present(a_, b_), keptB = present(b_, a_);
        for (const auto i : keptA) x_.push_back(a_[i]);
        for (const auto j : keptB) y_.push_back(b_[j]);
        std::vector<std::ptrdiff_t> shortMatch(x_.size(), -1);
        compare(0, std::ssize(x_), 0, std::ssize(y_), shortMatch);
        for (std::size_t i = 0; i < shortMatch.size(); ++i) {
            if (shortMatch[i] >= 0) match_[keptA[i]] = keptB[shortMatch[i]];
        }
        return std::move(match_);
    }

  private:
    struct Snake {
        std::ptrdiff_t x, y, u, v;  // from (x, y) to (u, v), both ends in x_/y_ positions
    };

    void compare(std::ptrdiff_t aLo, std::ptrdiff_t aHi, std::ptrdiff_t bLo, std::ptrdiff_t bHi,
                 std::vector<std::ptrdiff_t>& match) {
        while (aLo < aHi && bLo < bHi && x_[aLo] == y_[bLo]) match[aLo++] = bLo++;
        while (aLo < aHi && bLo < bHi && x_[aHi - 1] == y_[bHi - 1]) match[--aHi] = --bHi;
        if (aLo == aHi || bLo == bHi) return;
        const auto snake = middleSnake(aLo, aHi, bLo, bHi);
        if (!snake) return;  // out of work: all of it replaced
        compare(aLo, snake->x, bLo, snake->y, match);
        for (std::ptrdiff_t i = snake->x; i < snake->u; ++i) match[i] = snake->y + i - snake->x;
        compare(snake->u, aHi, snake->v, bHi, match);
    }

    // The snake in the middle of a shortest edit path: forward from the start and backward
    // from the end until the two searches overlap. Past kMaxEditsPerSearch edits, an empty
    // snake where either search got furthest: the halves then cost less, and the diff is no
    // longer the shortest but is still found in time.
    std::optional<Snake> middleSnake(std::ptrdiff_t aLo, std::ptrdiff_t aHi, std::ptrdiff_t bLo,
                                     std::ptrdiff_t bHi) {
        const std::ptrdiff_t n = aHi - aLo, m = bHi - bLo, delta = n - m;
        const bool odd = (delta & 1) != 0;
        const std::ptrdiff_t maxD = std::min((n + m + 1) / 2, kMaxEditsPerSearch);
        const std::ptrdiff_t offset = maxD + 1;
        // Furthest x on each diagonal k (index k + offset) that d edits reach inside the
        // grid, or -1, forward and in the reversed texts.
        std::vector<std::ptrdiff_t> forward(2 * offset + 1, -1), backward(2 * offset + 1, -1);
        const auto at = [&](std::vector<std::ptrdiff_t>& v, std::ptrdiff_t k) -> std::ptrdiff_t& {
            return v[static_cast<std::size_t>(k + offset)];
        };
        // Where the d-th edit on diagonal k starts: one line down from diagonal k + 1 or one
        // right from k - 1, whichever stays in the grid and gets further.
        const auto reach = [&](std::vector<std::ptrdiff_t>& v, std::ptrdiff_t k, std::ptrdiff_t d) {
            if (d == 0) return std::ptrdiff_t{0};
            std::ptrdiff_t x = -1;
            if (k < d && at(v, k + 1) >= 0 && at(v, k + 1) - k <= m) x = at(v, k + 1);
            if (k > -d && at(v, k - 1) >= 0 && at(v, k - 1) < n) x = std::max(x, at(v, k - 1) + 1);
            return x;
        };
        for (std::ptrdiff_t d = 0; d <= maxD; ++d) {
            work_ += 2 * d + 2;
            if (work_ > kMaxWork) return std::nullopt;
            for (std::ptrdiff_t k = -d; k <= d; k += 2) {
                std::ptrdiff_t x = reach(forward, k, d);
                at(forward, k) = x;
                if (x < 0) continue;
                std::ptrdiff_t y = x - k;
                const std::ptrdiff_t startX = x, startY = y;
                while (x < n && y < m && x_[aLo + x] == y_[bLo + y]) ++x, ++y;
                at(forward, k) = x;
                const std::ptrdiff_t back = delta - k;
                if (odd && back >= -(d - 1) && back <= d - 1 && at(backward, back) >= 0 &&
                    x + at(backward, back) >= n) {
                    return Snake{aLo + startX, bLo + startY, aLo + x, bLo + y};
                }
            }
            for (std::ptrdiff_t k = -d; k <= d; k += 2) {
                std::ptrdiff_t x = reach(backward, k, d);
                at(backward, k) = x;
                if (x < 0) continue;
                std::ptrdiff_t y = x - k;
                const std::ptrdiff_t startX = x, startY = y;
                while (x < n && y < m && x_[aHi - 1 - x] == y_[bHi - 1 - y]) ++x, ++y;
                at(backward, k) = x;
                const std::ptrdiff_t ahead = delta - k;
                if (!odd && ahead >= -d && ahead <= d && at(forward, ahead) >= 0 &&
                    x + at(forward, ahead) >= n) {
                    return Snake{aHi - x, bHi - y, aHi - startX, bHi - startY};
                }
            }
        }
        // Too far apart: split where a search got furthest (d = maxD filled those diagonals).
        std::ptrdiff_t bestX = 0, bestY = 0, bestProgress = -1;
        for (std::ptrdiff_t k = -maxD; k <= maxD; k += 2) {
            if (const std::ptrdiff_t x = at(forward, k); x >= 0 && 2 * x - k > bestProgress) {
                bestProgress = 2 * x - k, bestX = x, bestY = x - k;
            }
            if (const std::ptrdiff_t x = at(backward, k); x >= 0 && 2 * x - k > bestProgress) {
                bestProgress = 2 * x - k, bestX = n - x, bestY = m - (x - k);
            }
        }
        if (bestProgress <= 0) return std::nullopt;  // no way forward (not seen): stop here
        return Snake{aLo + bestX, bLo + bestY, aLo + bestX, bLo + bestY};
    }

    const Lines& a_;
    const Lines& b_;
    std::vector<std::ptrdiff_t> match_;
    std::int64_t work_ = 0;  // diagonals searched so far
    Lines x_, y_;            // a_ and b_ without the lines the other lacks
};

bool sameLines(const Lines& a, std::ptrdiff_t aLo, std::ptrdiff_t aHi, const Lines& b,
               std::ptrdiff_t bLo, std::ptrdiff_t bHi) {
    return std::equal(a.begin() + aLo, a.begin() + aHi, b.begin() + bLo, b.begin() + bHi);
}

}  // namespace

// Not translated: the markers go into the note's text, which must be the same bytes on every
// machine whatever its interface language, so each says it in both.
QString conflictStartMarker() {
    return QStringLiteral("<<<<<<< 两台电脑改得不同 (changed differently on two computers)");
}

QString conflictMiddleMarker() {
    return QStringLiteral("======= 另一台电脑的版本 (the other computer's version)");
}

QString conflictEndMarker() {
    return QStringLiteral(">>>>>>> 冲突结束 (end of conflict)");
}

LineMergeResult mergeLines(const QString& base, const QString& ours, const QString& theirs) {
    // Split on "\n" alone and join the same way, so "\r" stays inside its line and a text
    // without a final newline ends as it did (its last line is not the empty one). Lines are
    // views into the three texts: a long note is not copied line by line.
    QHash<QStringView, int> numbers;
    std::vector<QStringView> texts;  // by number
    const auto number = [&](const QString& text) {
        const QList<QStringView> split = QStringView(text).split(u'\n');
        Lines lines;
        lines.reserve(static_cast<std::size_t>(split.size()));
        for (const QStringView line : split) {
            auto it = numbers.constFind(line);
            if (it == numbers.cend()) {
                it = numbers.insert(line, static_cast<int>(texts.size()));
                texts.push_back(line);
            }
            lines.push_back(*it);
        }
        return lines;
    };
    const Lines o = number(base), a = number(ours), b = number(theirs);
    const auto toA = LineDiff(o, a).run(), toB = LineDiff(o, b).run();

    LineMergeResult result;
    QString& merged = result.text;
    merged.reserve(ours.size() + theirs.size());
    bool firstLine = true;
    const auto append = [&](QStringView line) {
        if (!firstLine) merged += u'\n';
        firstLine = false;
        merged += line;
    };
    const auto put = [&](const Lines& from, std::ptrdiff_t lo, std::ptrdiff_t hi) {
        for (auto i = lo; i < hi; ++i) append(texts[static_cast<std::size_t>(from[i])]);
    };
    const std::ptrdiff_t nO = std::ssize(o), nA = std::ssize(a), nB = std::ssize(b);
    std::ptrdiff_t io = 0, ia = 0, ib = 0;
    for (;;) {
        // Lines kept on both sides.
        while (io < nO && toA[io] == ia && toB[io] == ib) {
            put(o, io, io + 1);
            ++io, ++ia, ++ib;
        }
        if (io == nO && ia == nA && ib == nB) break;
        // Up to the next base line that both sides kept, something changed.
        std::ptrdiff_t next = io;
        while (next < nO && (toA[next] < 0 || toB[next] < 0)) ++next;
        const std::ptrdiff_t endA = next < nO ? toA[next] : nA;
        const std::ptrdiff_t endB = next < nO ? toB[next] : nB;
        if (sameLines(o, io, next, a, ia, endA)) {
            put(b, ib, endB);
        } else if (sameLines(o, io, next, b, ib, endB) || sameLines(a, ia, endA, b, ib, endB)) {
            put(a, ia, endA);
        } else {
            // Lines both sides agree on stay outside the markers.
            std::ptrdiff_t headA = ia, headB = ib, tailA = endA, tailB = endB;
            while (headA < tailA && headB < tailB && a[headA] == b[headB]) ++headA, ++headB;
            while (headA < tailA && headB < tailB && a[tailA - 1] == b[tailB - 1]) --tailA, --tailB;
            put(a, ia, headA);
            append(conflictStartMarker());
            put(a, headA, tailA);
            append(conflictMiddleMarker());
            put(b, headB, tailB);
            append(conflictEndMarker());
            put(a, tailA, endA);
            result.conflicted = true;
        }
        io = next;
        ia = endA;
        ib = endB;
    }
    return result;
}
