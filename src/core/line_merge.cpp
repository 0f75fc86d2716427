#include "core/line_merge.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace corvantis::core {
namespace {

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
