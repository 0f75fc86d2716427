#include "core/line_merge.h"

#include <algorithm>
#include <unordered_map>

namespace corvantis::core {
namespace {

// Above this many pairs of lines, a range with no unique anchor is left unmatched rather than
// compared line by line with every other: a whole rewrite of a big file costs no more than that.
constexpr size_t kMaxComparisons = 4'000'000;

class Matcher {
public:
    Matcher(std::span<const std::string_view> base, std::span<const std::string_view> theirs)
        : base_(base), theirs_(theirs), map_(base.size(), kNoLine) {}

    std::vector<size_t> Run() && {
        Match(0, base_.size(), 0, theirs_.size());
        return std::move(map_);
    }

private:
    void Match(size_t b0, size_t b1, size_t t0, size_t t1) {
        while (b0 < b1 && t0 < t1 && base_[b0] == theirs_[t0]) {
            map_[b0++] = t0++;
        }
        while (b0 < b1 && t0 < t1 && base_[b1 - 1] == theirs_[t1 - 1]) {
            map_[--b1] = --t1;
        }
        if (b0 == b1 || t0 == t1) {
            return;
        }
        const std::vector<std::pair<size_t, size_t>> anchors = UniqueAnchors(b0, b1, t0, t1);
        if (anchors.empty()) {
            Compare(b0, b1, t0, t1);
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
                                                         size_t t1) const {
        struct Seen {
            size_t baseCount = 0, base = 0, theirsCount = 0, theirs = 0;
        };
        std::unordered_map<std::string_view, Seen> seen;
        for (size_t i = b0; i < b1; ++i) {
            Seen& s = seen[base_[i]];
            ++s.baseCount;
            s.base = i;
        }
        for (size_t j = t0; j < t1; ++j) {
            const auto found = seen.find(theirs_[j]);
            if (found != seen.end()) {
                ++found->second.theirsCount;
                found->second.theirs = j;
            }
        }
        std::vector<std::pair<size_t, size_t>> pairs;
        for (size_t i = b0; i < b1; ++i) {
            const Seen& s = seen[base_[i]];
            if (s.baseCount == 1 && s.theirsCount == 1) {
                pairs.emplace_back(i, s.theirs);
            }
        }
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

    // The longest common subsequence of a range that has no unique anchor (repeated lines).
    void Compare(size_t b0, size_t b1, size_t t0, size_t t1) {
        const size_t rows = b1 - b0;
        const size_t columns = t1 - t0;
        if (rows * columns > kMaxComparisons) {
            return;
        }
        std::vector<unsigned> length((rows + 1) * (columns + 1), 0);
        const auto at = [&](size_t i, size_t j) -> unsigned& {
            return length[i * (columns + 1) + j];
        };
        for (size_t i = rows; i-- > 0;) {
            for (size_t j = columns; j-- > 0;) {
                at(i, j) = base_[b0 + i] == theirs_[t0 + j] ? at(i + 1, j + 1) + 1
                                                            : std::max(at(i + 1, j), at(i, j + 1));
            }
        }
        for (size_t i = 0, j = 0; i < rows && j < columns;) {
            if (base_[b0 + i] == theirs_[t0 + j]) {
                map_[b0 + i++] = t0 + j++;
            } else if (at(i + 1, j) >= at(i, j + 1)) {
                ++i;
            } else {
                ++j;
            }
        }
    }

    std::span<const std::string_view> base_;
    std::span<const std::string_view> theirs_;
    std::vector<size_t> map_;
};

} // namespace

std::vector<size_t> MatchLines(std::span<const std::string_view> base,
                               std::span<const std::string_view> theirs) {
    return Matcher(base, theirs).Run();
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
    const std::vector<size_t> match = MatchLines(base, theirs);

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
