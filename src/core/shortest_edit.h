#pragma once
// The longest common subsequence of two sequences of numbers, whatever their size, as the line
// matcher uses it.

#include <cstddef>
#include <limits>
#include <span>
#include <vector>

namespace corvantis::core {

// The longest common subsequence of two sequences of line numbers, whatever their size: each
// step finds a point that an edit script of the fewest steps passes through halfway along it
// (searching from both ends at once until the searches meet, as Myers' diff does), and the two
// halves are matched on their own. Time grows with the sequences' size times the number of
// edits, space only with their size. Calls `onMatch(x, y)` for each pair matched.
class ShortestEdit {
public:
    ShortestEdit(std::span<const unsigned> a, std::span<const unsigned> b) : a_(a), b_(b) {
        // Diagonals (x - y) run from -(b's size) - 1 to a's size + 1.
        forward_.resize(a.size() + b.size() + 3);
        backward_.resize(forward_.size());
    }

    template <typename OnMatch> void Run(OnMatch&& onMatch) {
        Match(0, a_.size(), 0, b_.size(), onMatch);
    }

private:
    using Diagonal = std::ptrdiff_t;

    template <typename OnMatch>
    void Match(size_t x0, size_t x1, size_t y0, size_t y1, OnMatch& onMatch) {
        for (;;) {
            while (x0 < x1 && y0 < y1 && a_[x0] == b_[y0]) {
                onMatch(x0++, y0++);
            }
            while (x0 < x1 && y0 < y1 && a_[x1 - 1] == b_[y1 - 1]) {
                onMatch(--x1, --y1);
            }
            if (x0 == x1 || y0 == y1) {
                return;
            }
            const auto [x, y] = Middle(static_cast<Diagonal>(x0), static_cast<Diagonal>(x1),
                                       static_cast<Diagonal>(y0), static_cast<Diagonal>(y1));
            Match(x0, x, y0, y, onMatch);
            x0 = x;
            y0 = y;
        }
    }

    Diagonal& Forward(Diagonal d) { return forward_[static_cast<size_t>(d + Offset())]; }
    Diagonal& Backward(Diagonal d) { return backward_[static_cast<size_t>(d + Offset())]; }
    Diagonal Offset() const { return static_cast<Diagonal>(b_.size()) + 1; }
    bool Same(Diagonal x, Diagonal y) const {
        return a_[static_cast<size_t>(x)] == b_[static_cast<size_t>(y)];
    }

    // The halfway point of a range that begins and ends with different lines. Forward(d) is the
    // furthest x the search from the start has reached on diagonal d, Backward(d) the least x
    // the search from the end has.
    std::pair<size_t, size_t> Middle(Diagonal x0, Diagonal x1, Diagonal y0, Diagonal y1) {
        constexpr Diagonal kNone = std::numeric_limits<Diagonal>::max();
        const Diagonal lowest = x0 - y1;
        const Diagonal highest = x1 - y0;
        const Diagonal forwardMiddle = x0 - y0;
        const Diagonal backwardMiddle = x1 - y1;
        const bool odd = ((forwardMiddle - backwardMiddle) & 1) != 0;
        Diagonal forwardMin = forwardMiddle;
        Diagonal forwardMax = forwardMiddle;
        Diagonal backwardMin = backwardMiddle;
        Diagonal backwardMax = backwardMiddle;
        Forward(forwardMiddle) = x0;
        Backward(backwardMiddle) = x1;
        const auto point = [](Diagonal x, Diagonal y) {
            return std::pair{static_cast<size_t>(x), static_cast<size_t>(y)};
        };
        for (;;) {
            // One more edit from the start: the diagonals in reach grow by one on each side.
            if (forwardMin > lowest) {
                Forward(--forwardMin - 1) = -1;
            } else {
                ++forwardMin;
            }
            if (forwardMax < highest) {
                Forward(++forwardMax + 1) = -1;
            } else {
                --forwardMax;
            }
            for (Diagonal d = forwardMax; d >= forwardMin; d -= 2) {
                const Diagonal low = Forward(d - 1);
                const Diagonal high = Forward(d + 1);
                Diagonal x = low >= high ? low + 1 : high;
                Diagonal y = x - d;
                while (x < x1 && y < y1 && Same(x, y)) {
                    ++x;
                    ++y;
                }
                Forward(d) = x;
                if (odd && backwardMin <= d && d <= backwardMax && Backward(d) <= x) {
                    return point(x, y);
                }
            }
            // One more edit from the end.
            if (backwardMin > lowest) {
                Backward(--backwardMin - 1) = kNone;
            } else {
                ++backwardMin;
            }
            if (backwardMax < highest) {
                Backward(++backwardMax + 1) = kNone;
            } else {
                --backwardMax;
            }
            for (Diagonal d = backwardMax; d >= backwardMin; d -= 2) {
                const Diagonal low = Backward(d - 1);
                const Diagonal high = Backward(d + 1);
                Diagonal x = low < high ? low : high - 1;
                Diagonal y = x - d;
                while (x0 < x && y0 < y && Same(x - 1, y - 1)) {
                    --x;
                    --y;
                }
                Backward(d) = x;
                if (!odd && forwardMin <= d && d <= forwardMax && x <= Forward(d)) {
                    return point(x, y);
                }
            }
        }
    }

    std::span<const unsigned> a_;
    std::span<const unsigned> b_;
    std::vector<Diagonal> forward_;
    std::vector<Diagonal> backward_;
};

} // namespace corvantis::core
