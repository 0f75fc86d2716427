#include "core/line_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

namespace corvantis::core {
namespace {

TEST(LongestCommonLines, MatchesTheMostLinesThatCanBeMatchedInOrder) {
    // Against the table of every prefix pair's longest common subsequence.
    std::mt19937 random(18);
    const std::string_view alphabet[] = {"a", "b", "c", "d"};
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::string_view> base(random() % 16);
        std::vector<std::string_view> theirs(random() % 16);
        const size_t letters = 1 + random() % std::size(alphabet);
        for (auto& line : base) {
            line = alphabet[random() % letters];
        }
        for (auto& line : theirs) {
            line = alphabet[random() % letters];
        }
        std::vector<std::vector<size_t>> longest(base.size() + 1,
                                                 std::vector<size_t>(theirs.size() + 1, 0));
        for (size_t i = base.size(); i-- > 0;) {
            for (size_t j = theirs.size(); j-- > 0;) {
                longest[i][j] = base[i] == theirs[j]
                                    ? longest[i + 1][j + 1] + 1
                                    : std::max(longest[i + 1][j], longest[i][j + 1]);
            }
        }
        const std::vector<size_t> match = LongestCommonLines(base, theirs);
        ASSERT_EQ(match.size(), base.size());
        size_t matched = 0;
        size_t next = 0; // the least line of theirs the next match may take
        for (size_t i = 0; i < base.size(); ++i) {
            if (match[i] == kNoLine) {
                continue;
            }
            ASSERT_TRUE(match[i] >= next && match[i] < theirs.size()) << round;
            ASSERT_EQ(base[i], theirs[match[i]]) << round;
            next = match[i] + 1;
            ++matched;
        }
        ASSERT_EQ(matched, longest[0][0]) << round;
    }
}

TEST(MatchLines, MatchesInOrderAroundLinesThatOccurOnce) {
    const std::vector<std::string_view> base = {"a", "x", "b", "x", "c"};
    const std::vector<std::string_view> theirs = {"c", "a", "x", "b", "y", "x"};
    // "c" moved up: the longest ordered match keeps a, x, b, x and gives c up.
    EXPECT_EQ(MatchLines(base, theirs), (std::vector<size_t>{1, 2, 3, 5, kNoLine}));
}

} // namespace
} // namespace corvantis::core
