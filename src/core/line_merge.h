#pragma once
// A three-way merge by lines: the changes this copy made to the lines it read (the base) are
// carried over to the lines the file holds now (theirs), so that nothing either side did is lost.

#include "core/line_match.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace corvantis::core {

// One line of this copy's list: a base line kept as read (`source`, not `edited`), a base line
// replaced by new text (`source`, `edited`), or a new line (no source).
struct OurLine {
    size_t source = kNoLine;
    bool edited = false;
};

// Where a merged line comes from: a line of theirs, or one of ours. A line of theirs that is a
// base line we kept names our line that kept it too (`keptBy`), the same line.
struct MergedLine {
    bool ours;
    size_t index;
    size_t keptBy = kNoLine;
    bool operator==(const MergedLine&) const = default;
};

// Theirs, with our deletions, edits and new lines applied. A base line that theirs moved (deleted,
// and added again elsewhere) is still that line, where theirs put it:
// - a base line we deleted goes from theirs, unless theirs changed or deleted it already;
// - a base line we edited is replaced by our text where theirs still has it; where theirs
//   changed or deleted it, both versions stay (ours as a new line);
// - a new line of ours goes right after the line of theirs that holds the nearest kept or edited
//   line above it in our list, or at the top when there is none;
// - every line theirs added or changed stays.
// Merging with theirs equal to the base gives our list unchanged.
std::vector<MergedLine> MergeLines(std::span<const std::string_view> base,
                                   std::span<const OurLine> ours,
                                   std::span<const std::string_view> theirs);

} // namespace corvantis::core
