#include "core/line_merge.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <unordered_map>

namespace corvantis::core {
namespace {

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

// Matches lines in order: lines that occur once on each side anchor the match (the longest run
// of them in the same order on both sides), the ranges between anchors are matched the same way,
// and a range without anchors by its longest common subsequence. Lines are compared by number:
// each distinct text gets one.
class Matcher {
public:
    Matcher(std::span<const std::string_view> base, std::span<const std::string_view> theirs)
        : map_(base.size(), kNoLine) {
        std::unordered_map<std::string_view, unsigned> numbers;
        numbers.reserve(base.size() + theirs.size());
        const auto number = [&](std::string_view line) {
            return numbers.try_emplace(line, static_cast<unsigned>(numbers.size())).first->second;
        };
        base_.reserve(base.size());
        for (const std::string_view line : base) {
            base_.push_back(number(line));
        }
        theirs_.reserve(theirs.size());
        for (const std::string_view line : theirs) {
            theirs_.push_back(number(line));
        }
        baseCount_.assign(numbers.size(), 0);
        theirsCount_.assign(numbers.size(), 0);
        theirsAt_.assign(numbers.size(), 0);
    }

    // With `anchored` false, the whole is matched by its longest common subsequence.
    std::vector<size_t> Run(bool anchored) && {
        if (anchored) {
            Match(0, base_.size(), 0, theirs_.size());
        } else {
            Diff(0, base_.size(), 0, theirs_.size());
        }
        return std::move(map_);
    }

private:
    // Matches the lines the two ranges begin and end with alike; false when a range is used up.
    bool Trim(size_t& b0, size_t& b1, size_t& t0, size_t& t1) {
        while (b0 < b1 && t0 < t1 && base_[b0] == theirs_[t0]) {
            map_[b0++] = t0++;
        }
        while (b0 < b1 && t0 < t1 && base_[b1 - 1] == theirs_[t1 - 1]) {
            map_[--b1] = --t1;
        }
        return b0 < b1 && t0 < t1;
    }

    void Match(size_t b0, size_t b1, size_t t0, size_t t1) {
        if (!Trim(b0, b1, t0, t1)) {
            return;
        }
        const std::vector<std::pair<size_t, size_t>> anchors = UniqueAnchors(b0, b1, t0, t1);
        if (anchors.empty()) {
            Diff(b0, b1, t0, t1);
            return;
        }
        size_t b = b0;
        size_t t = t0;
        for (const auto& [ab, at] : anchors) {
            Match(b, ab, t, at);
            map_[ab] = at;
            b = ab + 1;
            t = at + 1;
        }
        Match(b, b1, t, t1);
    }

    // Lines that occur once in each range, paired, reduced to the longest run whose positions
    // rise on both sides.
    std::vector<std::pair<size_t, size_t>> UniqueAnchors(size_t b0, size_t b1, size_t t0,
                                                         size_t t1) {
        CountUp(base_, b0, b1, baseCount_);
        CountUp(theirs_, t0, t1, theirsCount_);
        for (size_t j = t0; j < t1; ++j) {
            theirsAt_[theirs_[j]] = j;
        }
        std::vector<std::pair<size_t, size_t>> pairs;
        for (size_t i = b0; i < b1; ++i) {
            const unsigned line = base_[i];
            if (baseCount_[line] == 1 && theirsCount_[line] == 1) {
                pairs.emplace_back(i, theirsAt_[line]);
            }
        }
        ClearCounts(base_, b0, b1, baseCount_);
        ClearCounts(theirs_, t0, t1, theirsCount_);
        return LongestRisingRun(pairs);
    }

    // Patience sorting on the theirs positions of pairs already in base order.
    static std::vector<std::pair<size_t, size_t>>
    LongestRisingRun(const std::vector<std::pair<size_t, size_t>>& pairs) {
        std::vector<size_t> tails;                           // pair index ending each run length
        std::vector<size_t> previous(pairs.size(), kNoLine); // the pair before, in its run
        for (size_t k = 0; k < pairs.size(); ++k) {
            const auto at = std::lower_bound(
                tails.begin(), tails.end(), pairs[k].second,
                [&](size_t tail, size_t value) { return pairs[tail].second < value; });
            previous[k] = at == tails.begin() ? kNoLine : *(at - 1);
            if (at == tails.end()) {
                tails.push_back(k);
            } else {
                *at = k;
            }
        }
        std::vector<std::pair<size_t, size_t>> run;
        for (size_t k = tails.empty() ? kNoLine : tails.back(); k != kNoLine; k = previous[k]) {
            run.push_back(pairs[k]);
        }
        std::reverse(run.begin(), run.end());
        return run;
    }

    // The longest common subsequence of two ranges. Lines that occur on one side only can
    // match nothing: the search leaves them out, so that a rewrite of every line costs no more
    // than reading it.
    void Diff(size_t b0, size_t b1, size_t t0, size_t t1) {
        CountUp(base_, b0, b1, baseCount_);
        CountUp(theirs_, t0, t1, theirsCount_);
        const Shared a = SharedLines(base_, b0, b1, theirsCount_);
        const Shared b = SharedLines(theirs_, t0, t1, baseCount_);
        ClearCounts(base_, b0, b1, baseCount_);
        ClearCounts(theirs_, t0, t1, theirsCount_);
        ShortestEdit(a.lines, b.lines).Run([&](size_t x, size_t y) { map_[a.at[x]] = b.at[y]; });
    }

    // The lines of [from, to) that the other side has too, and where each stands.
    struct Shared {
        std::vector<unsigned> lines;
        std::vector<size_t> at;
    };
    static Shared SharedLines(const std::vector<unsigned>& side, size_t from, size_t to,
                              const std::vector<unsigned>& otherCount) {
        Shared shared;
        for (size_t i = from; i < to; ++i) {
            if (otherCount[side[i]] > 0) {
                shared.lines.push_back(side[i]);
                shared.at.push_back(i);
            }
        }
        return shared;
    }
    // Counts each line of [from, to) once more; ClearCounts sets the counts back to zero.
    static void CountUp(const std::vector<unsigned>& side, size_t from, size_t to,
                        std::vector<unsigned>& count) {
        for (size_t i = from; i < to; ++i) {
            ++count[side[i]];
        }
    }
    static void ClearCounts(const std::vector<unsigned>& side, size_t from, size_t to,
                            std::vector<unsigned>& count) {
        for (size_t i = from; i < to; ++i) {
            count[side[i]] = 0;
        }
    }

    std::vector<unsigned> base_;
    std::vector<unsigned> theirs_;
    std::vector<size_t> map_;
    // By line number, the occurrences in the ranges at hand; zero between uses.
    std::vector<unsigned> baseCount_;
    std::vector<unsigned> theirsCount_;
    std::vector<size_t> theirsAt_;
};

// A line theirs moved (deleted, and added again elsewhere) is matched by no line in order: a base
// line without a match and a line theirs added with the same text are taken for one line,
// paired in order, so that what we did to the line follows it to where it went.
void PairMoves(std::span<const std::string_view> base, std::span<const std::string_view> theirs,
               std::vector<size_t>& match) {
    std::vector<bool> matched(theirs.size(), false);
    size_t unmatchedBase = 0;
    for (const size_t j : match) {
        if (j == kNoLine) {
            ++unmatchedBase;
        } else {
            matched[j] = true;
        }
    }
    if (unmatchedBase == 0 || theirs.size() == base.size() - unmatchedBase) {
        return; // every line of one side or the other is matched
    }
    // The lines theirs added, by text, in order, and how many of each are paired so far.
    std::unordered_map<std::string_view, std::pair<std::vector<size_t>, size_t>> added;
    for (size_t j = 0; j < theirs.size(); ++j) {
        if (!matched[j]) {
            added[theirs[j]].first.push_back(j);
        }
    }
    for (size_t i = 0; i < base.size(); ++i) {
        if (match[i] != kNoLine) {
            continue;
        }
        const auto found = added.find(base[i]);
        if (found != added.end() && found->second.second < found->second.first.size()) {
            match[i] = found->second.first[found->second.second++];
        }
    }
}

} // namespace

std::vector<size_t> MatchLines(std::span<const std::string_view> base,
                               std::span<const std::string_view> theirs) {
    return Matcher(base, theirs).Run(true);
}

std::vector<size_t> LongestCommonLines(std::span<const std::string_view> base,
                                       std::span<const std::string_view> theirs) {
    return Matcher(base, theirs).Run(false);
}

std::vector<MergedLine> MergeLines(std::span<const std::string_view> base,
                                   std::span<const OurLine> ours,
                                   std::span<const std::string_view> theirs) {
    if (std::ranges::equal(base, theirs)) {
        // Nobody else changed the file, as is usual: our list as it stands, when its lines keep
        // the file's order (then the general merge below gives the same).
        std::vector<MergedLine> merged;
        merged.reserve(ours.size());
        size_t next = 0; // the least source the next line of ours may have
        for (size_t k = 0; k < ours.size(); ++k) {
            const OurLine& line = ours[k];
            if (line.source == kNoLine) {
                merged.push_back({true, k});
                continue;
            }
            if (line.source < next || line.source >= base.size()) {
                merged.clear();
                break;
            }
            next = line.source + 1;
            merged.push_back(line.edited ? MergedLine{true, k} : MergedLine{false, line.source, k});
        }
        if (merged.size() == ours.size()) {
            return merged;
        }
    }
    std::vector<size_t> match = MatchLines(base, theirs);
    PairMoves(base, theirs, match);

    // What we did to each line of theirs that is still a base line, and where our new lines go.
    std::vector<size_t> keptBy(theirs.size(), kNoLine);
    std::vector<size_t> replacedBy(theirs.size(), kNoLine);
    std::vector<bool> claimed(base.size(), false);
    std::vector<size_t> top;
    std::vector<std::pair<size_t, size_t>> after; // a new line of ours, after a line of theirs
    size_t anchor = kNoLine; // the line of theirs that holds the last kept or edited line so far
    for (size_t k = 0; k < ours.size(); ++k) {
        const OurLine& line = ours[k];
        const bool sourced = line.source < base.size() && !claimed[line.source];
        const size_t there = sourced ? match[line.source] : kNoLine;
        if (sourced) {
            claimed[line.source] = true;
        }
        if (there != kNoLine) {
            if (line.edited) {
                replacedBy[there] = k;
            } else {
                keptBy[there] = k;
            }
            anchor = there;
            continue;
        }
        if (sourced && !line.edited) {
            continue; // theirs changed or deleted a line we only kept: theirs wins
        }
        if (anchor == kNoLine) {
            top.push_back(k);
        } else {
            after.emplace_back(anchor, k);
        }
    }
    // In the order of theirs, and of ours after the same line.
    std::stable_sort(after.begin(), after.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<MergedLine> merged;
    merged.reserve(theirs.size() + ours.size());
    for (const size_t k : top) {
        merged.push_back({true, k});
    }
    std::vector<bool> baseLine(theirs.size(), false);
    for (const size_t j : match) {
        if (j != kNoLine) {
            baseLine[j] = true;
        }
    }
    auto next = after.begin();
    for (size_t j = 0; j < theirs.size(); ++j) {
        if (replacedBy[j] != kNoLine) {
            merged.push_back({true, replacedBy[j]});
        } else if (keptBy[j] != kNoLine || !baseLine[j]) {
            merged.push_back({false, j, keptBy[j]}); // kept by both, or added or changed by theirs
        }
        for (; next != after.end() && next->first == j; ++next) {
            merged.push_back({true, next->second});
        }
    }
    return merged;
}

} // namespace corvantis::core
