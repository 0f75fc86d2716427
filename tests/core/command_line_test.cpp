#include "core/command_line.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace corvantis::core {

// For the failure messages.
static void PrintTo(const Launch& launch, std::ostream* out) {
    *out << "{\"" << platform::EncodeUtf8(launch.file) << "\", \""
         << platform::EncodeUtf8(launch.parameters) << "\"}";
}

namespace {

using platform::NameKind;

// What the system finds, in place of the file system and the search path.
const std::map<std::u16string, NameKind, std::less<>> kNames = {
    {u"notepad", NameKind::File},
    {u"calc.exe", NameKind::File},
    {u"cmd", NameKind::File},
    {u"code", NameKind::File},
    {u"firefox", NameKind::File},
    {u"C:\\Program Files\\App\\app.exe", NameKind::File},
    {u"C:\\notes\\todo list.txt", NameKind::File},
    {u"D:\\proj", NameKind::Folder},
    {u"D:\\My Projects", NameKind::Folder},
    {u"E:\\Program", NameKind::File},
    {u"E:\\Program Files\\x.exe", NameKind::File},
};

NameKind FindFake(std::u16string_view name) {
    const auto found = kNames.find(name);
    return found == kNames.end() ? NameKind::Nothing : found->second;
}

const std::map<std::u16string, std::u16string, std::less<>> kVariables = {
    {u"USERPROFILE", u"C:\\Users\\me"},    {u"APPDATA", u"C:\\Users\\me\\AppData\\Roaming"},
    {u"TOOLS", u"C:\\Program Files\\App"}, {u"EMPTY", u""},
    {u"PERCENT", u"%USERPROFILE%"},
};

std::optional<std::u16string> LookUpFake(std::u16string_view name) {
    const auto found = kVariables.find(name);
    return found == kVariables.end() ? std::nullopt : std::optional(found->second);
}

struct ExpandCase {
    const char* behaviour;
    std::u16string_view text;
    std::u16string_view expected;
};

TEST(ExpandVariables, ReplacesTheVariablesThatAreSetAsExpandEnvironmentStringsDoes) {
    const ExpandCase cases[] = {
        {"no variable", u"C:\\x y", u"C:\\x y"},
        {"a variable", u"%USERPROFILE%\\Downloads", u"C:\\Users\\me\\Downloads"},
        {"several, side by side", u"%TOOLS%%USERPROFILE%", u"C:\\Program Files\\AppC:\\Users\\me"},
        {"an empty value", u"a%EMPTY%b", u"ab"},
        {"an unknown name stays as written", u"%NOPE%\\x", u"%NOPE%\\x"},
        {"the scan goes on after an unknown name's closing mark", u"%NOPE%USERPROFILE%",
         u"%NOPE%USERPROFILE%"},
        {"and finds the next variable", u"%NOPE%%APPDATA%",
         u"%NOPE%C:\\Users\\me\\AppData\\Roaming"},
        {"an empty name stays", u"100%% %USERPROFILE%", u"100%% C:\\Users\\me"},
        {"a mark without its closing one stays", u"%USERPROFILE", u"%USERPROFILE"},
        {"a last lone mark stays", u"%USERPROFILE%%", u"C:\\Users\\me%"},
        {"a value is not expanded again", u"%PERCENT%", u"%USERPROFILE%"},
        {"spaces are part of a name", u"50% off 20%", u"50% off 20%"},
        {"empty text", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandVariables(c.text, LookUpFake), c.expected) << c.behaviour;
    }
}

struct SplitCase {
    const char* behaviour;
    std::u16string_view target;
    Launch expected;
};

TEST(SplitCommandLine, DividesATargetAsWindowsDividesACommandLine) {
    const SplitCase cases[] = {
        {"a program found whole", u"notepad", {u"notepad", u""}},
        {"a program named with its extension", u"calc.exe", {u"calc.exe", u""}},
        {"an unquoted path with spaces, whole",
         u"C:\\Program Files\\App\\app.exe",
         {u"C:\\Program Files\\App\\app.exe", u""}},
        {"a folder, whole", u"D:\\proj", {u"D:\\proj", u""}},
        {"an existing file whose name has spaces",
         u"C:\\notes\\todo list.txt",
         {u"C:\\notes\\todo list.txt", u""}},
        {"a program on the path with an argument",
         u"notepad C:\\notes\\todo.txt",
         {u"notepad", u"C:\\notes\\todo.txt"}},
        {"a program with arguments", u"cmd /k ping {query}", {u"cmd", u"/k ping {query}"}},
        {"a program and a folder", u"code D:\\proj", {u"code", u"D:\\proj"}},
        {"an unquoted path with spaces and arguments",
         u"C:\\Program Files\\App\\app.exe --new-window",
         {u"C:\\Program Files\\App\\app.exe", u"--new-window"}},
        {"an existing file whose name has spaces, then arguments",
         u"C:\\notes\\todo list.txt --print",
         {u"C:\\notes\\todo list.txt", u"--print"}},
        {"the shortest run that names a file, as CreateProcess takes it",
         u"E:\\Program Files\\x.exe -a",
         {u"E:\\Program", u"Files\\x.exe -a"}},
        {"a quoted path with arguments",
         u"\"C:\\Program Files\\App\\app.exe\" --new-window",
         {u"C:\\Program Files\\App\\app.exe", u"--new-window"}},
        {"a quoted path is the file whether found or not",
         u"\"C:\\nowhere\\x.exe\" -a",
         {u"C:\\nowhere\\x.exe", u"-a"}},
        {"a quoted path alone",
         u"\"C:\\Program Files\\App\\app.exe\"",
         {u"C:\\Program Files\\App\\app.exe", u""}},
        {"the spaces after the quote go, the rest stays as written",
         u"\"C:\\a b\\x.exe\"   -a  \"b c\"  ",
         {u"C:\\a b\\x.exe", u"-a  \"b c\"  "}},
        {"a quote never closed runs to the end",
         u"\"C:\\a b\\x.exe -a",
         {u"C:\\a b\\x.exe -a", u""}},
        {"an empty quoted file", u"\"\" -a", {u"", u"-a"}},
        {"trailing spaces give empty parameters", u"notepad   ", {u"notepad", u""}},
        {"spaces between file and parameters go", u"notepad    x", {u"notepad", u"x"}},
        {"a folder followed by words is no file",
         u"D:\\My Projects --x",
         {u"D:\\My Projects --x", u""}},
        {"nothing found: the target whole", u"nowhere to be found", {u"nowhere to be found", u""}},
        {"a leading space finds nothing", u" notepad x", {u" notepad x", u""}},
        {"an empty target", u"", {u"", u""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.target, FindFake), c.expected) << c.behaviour;
    }
}

struct LaunchCase {
    const char* behaviour;
    std::u16string_view target;
    std::optional<std::u16string> query;
    Launch expected;
};

TEST(LaunchOf, ExpandsSplitsThenPutsTheQueryIntoEachPart) {
    const LaunchCase cases[] = {
        {"a web address takes the query encoded",
         u"https://x.org/?q={query}",
         u"a&b c",
         {u"https://x.org/?q=a%26b c", u""}},
        {"a web address is never split nor expanded",
         u"https://x.org/%USERPROFILE%/a b?q={query}",
         u"x",
         {u"https://x.org/%USERPROFILE%/a b?q=x", u""}},
        {"another scheme takes the query as typed",
         u"mailto:{query}",
         u"a&b",
         {u"mailto:a&b", u""}},
        {"a scheme with a dash",
         u"ms-settings:display",
         std::nullopt,
         {u"ms-settings:display", u""}},
        {"a drive letter is no scheme",
         u"C:\\Program Files\\App\\app.exe --x",
         std::nullopt,
         {u"C:\\Program Files\\App\\app.exe", u"--x"}},
        {"a variable in a target opened whole",
         u"%USERPROFILE%\\Downloads",
         std::nullopt,
         {u"C:\\Users\\me\\Downloads", u""}},
        {"variables in the file and in the parameters",
         u"%TOOLS%\\app.exe --profile %APPDATA%\\p",
         std::nullopt,
         {u"C:\\Program Files\\App\\app.exe", u"--profile C:\\Users\\me\\AppData\\Roaming\\p"}},
        {"a variable in a quoted file; an unknown one stays",
         u"\"%TOOLS%\\app.exe\" %NOPE%\\x",
         std::nullopt,
         {u"C:\\Program Files\\App\\app.exe", u"%NOPE%\\x"}},
        {"the query in the parameters, as typed",
         u"cmd /k ping {query}",
         u"a b&c",
         {u"cmd", u"/k ping a b&c"}},
        {"a quoted placeholder keeps a query with spaces one piece",
         u"cmd /k echo \"{query}\"",
         u"a b",
         {u"cmd", u"/k echo \"a b\""}},
        {"the query in a quoted file",
         u"\"C:\\Program Files\\App\\{query}.exe\" --x",
         u"app",
         {u"C:\\Program Files\\App\\app.exe", u"--x"}},
        {"the query in both parts",
         u"\"C:\\{query}\\x.exe\" -q {QUERY}",
         u"a",
         {u"C:\\a\\x.exe", u"-q a"}},
        {"the query in a target opened whole", u"D:\\{query}", u"a b", {u"D:\\a b", u""}},
        {"typed text is never expanded",
         u"cmd /k echo {query}",
         u"%USERPROFILE%",
         {u"cmd", u"/k echo %USERPROFILE%"}},
        {"typed text never changes the split", u"{query} --x", u"notepad", {u"notepad --x", u""}},
        {"a web address in the parameters takes the query as typed",
         u"firefox https://x.org/?q={query}",
         u"a&b",
         {u"firefox", u"https://x.org/?q=a&b"}},
        {"without a query the placeholder stays",
         u"cmd /k ping {query}",
         std::nullopt,
         {u"cmd", u"/k ping {query}"}},
        {"an empty query", u"cmd /k ping {query}", u"", {u"cmd", u"/k ping "}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LaunchOf(c.target, c.query, LookUpFake, FindFake), c.expected) << c.behaviour;
    }
}

} // namespace
} // namespace corvantis::core
