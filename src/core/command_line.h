#pragma once
// What a matched target opens, read as the Run box reads what it is given.
//
// A target that begins with a scheme (a letter, then letters, digits, '+', '-' or '.', two
// characters or more, then ':': "https:", "mailto:", "ms-settings:") goes to the shell whole, as
// written. Any other target is read as a command line, once its environment variables are
// expanded:
//   - a target that begins with '"': the quoted part is the file, the rest (after the spaces
//     that follow the closing quote) its parameters; without a closing quote the file runs to
//     the end;
//   - a target that names something whole (a file, a folder, a program: a path with spaces
//     included) is the file;
//   - else the shortest leading run of words, cut at spaces, that names a file or a program is
//     the file, and the rest after its spaces the parameters;
//   - nothing found: the target is the file, whole.
// The query then goes into each part in place of "{query}": into a web address as
// core/web_query.h says, elsewhere as typed. Splitting and expanding come first, so typed text
// never changes where a target divides and is never expanded.

#include "platform/environment.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::core {

// One open request: the file the shell opens, and the parameters handed to it (empty for none).
struct Launch {
    std::u16string file;
    std::u16string parameters;
    bool operator==(const Launch&) const = default;
};

// The value of the environment variable `name`; nullopt when it is not set.
using VariableLookup = std::function<std::optional<std::u16string>(std::u16string_view name)>;
// What a word or a run of words of a target names.
using NameLookup = std::function<platform::NameKind(std::u16string_view name)>;

// `text` with every "%NAME%" of a variable that is set replaced by its value, as
// ExpandEnvironmentStringsW does: the scan goes from left to right, a "%NAME%" whose variable
// is not set (or whose name is empty) stays as written and the scan goes on after its closing
// '%', a '%' without a closing one stays, and values are not expanded again.
std::u16string ExpandVariables(std::u16string_view text, const VariableLookup& variable);

// A target (variables expanded, before the query goes in) divided as the command line rules
// above say.
Launch SplitCommandLine(std::u16string_view target, const NameLookup& names);

// `text` with every "{query}" (text comparison) replaced by `query`. With `webAddress`, `text` is
// a whole web address and the query goes in as core/web_query.h says; otherwise as typed.
std::u16string PutQuery(std::u16string_view text, std::u16string_view query, bool webAddress);

// What `target`, as the entry line holds it, opens for a request with `query` (present only
// when the request holds a space).
Launch LaunchOf(std::u16string_view target, const std::optional<std::u16string>& query,
                const VariableLookup& variable, const NameLookup& names);

} // namespace corvantis::core
