#pragma once
// Which lines of two versions of a file are the same line: the match a merge of them rests on.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace corvantis::core {

inline constexpr size_t kNoLine = static_cast<size_t>(-1);

// For each base line, the line of `theirs` that is the same line, unchanged; kNoLine for a base
// line that theirs deleted or changed. Matches keep their order: lines that occur once on each
// side anchor the match (the longest run of them in order), and the lines between anchors are
// matched the same way, or where none occurs once by LongestCommonLines, whatever their number.
std::vector<size_t> MatchLines(std::span<const std::string_view> base,
                               std::span<const std::string_view> theirs);

// The same by a longest common subsequence alone: the most lines that can be matched in order.
// Space grows with the number of lines only, time with it times the number of lines that
// differ; lines that occur on one side only cost nothing.
std::vector<size_t> LongestCommonLines(std::span<const std::string_view> base,
                                       std::span<const std::string_view> theirs);

} // namespace corvantis::core
