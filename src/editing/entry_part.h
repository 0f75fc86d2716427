#pragma once
// Splitting an entry line at its first colon into the keyword part and the target part.

#include <string>
#include <string_view>

namespace corvantis::editing {

// `which` "l": the text before the line's first colon; "r": the text after it. The colon is
// found with the platform's text comparison, so a full-width colon (U+FF1A) splits the line too.
// Splitting at the first colon keeps a target's own colons: "dl:D:\Downloads" gives "dl" and
// "D:\Downloads". A line without a colon gives "" for "l" (no keywords) and the whole line for
// "r". `which` is compared exactly (case-sensitive); anything but "l" or "r" gives "".
std::u16string EntryPart(std::u16string_view line, std::u16string_view which);

} // namespace corvantis::editing
