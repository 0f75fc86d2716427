#include "core/line_match.h"

#include "core/shortest_edit.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace corvantis::core {
namespace {

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

} // namespace

std::vector<size_t> MatchLines(std::span<const std::string_view> base,
                               std::span<const std::string_view> theirs) {
    return Matcher(base, theirs).Run(true);
}

std::vector<size_t> LongestCommonLines(std::span<const std::string_view> base,
                                       std::span<const std::string_view> theirs) {
    return Matcher(base, theirs).Run(false);
}

} // namespace corvantis::core
