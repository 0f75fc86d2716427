#pragma once
// A query put into a web address so that the site receives exactly the text typed.
//
// A target is a web address when it begins with "http:" or "https:", in any case. Where the
// placeholder stands in such a target, the query's characters that would change the address's
// meaning there are percent-encoded (as their UTF-8 bytes, all of them ASCII):
//   before the target's first '?' or '#' (the host and the path):   % ? #
//   after it (the query part, and a fragment):                      % & + #
// Every other character stays as typed: '/', spaces, non-ASCII text. A target that is not a web
// address (a path, a program, "mailto:") takes the query exactly as typed.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvantis::core {

bool IsWebAddress(std::u16string_view target);

// Appends `query` to `out` in the form it takes in place of the placeholder that begins at
// `placeholder` in `target`.
void AppendQuery(std::u16string& out, std::u16string_view target, size_t placeholder,
                 std::u16string_view query);

} // namespace corvantis::core
