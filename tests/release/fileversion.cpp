// Prints a file's version resource, for the release tests: read with GetFileVersionInfoW, as
// the file's Properties in Explorer read it.
//
//   fileversion <path>
//
// Prints one line per value (UTF-8):
//   file=1.2.3.4             the fixed part's file version
//   product=1.2.3.4          and product version
//   FileVersion=...          the FileVersion and ProductVersion texts of the string table that
//   ProductVersion=...       the resource's first translation names
// Exit status: 0 done, 1 no version resource or a part of it missing, 64 bad usage.

#include "../e2e/tool_win.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

namespace {

using corvantis::tool::Print;
using corvantis::tool::ToUtf8;

constexpr int kExitNoVersion = 1;
constexpr int kExitUsage = 64;

std::string Quad(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

int Missing(std::string_view what) {
    Print("missing " + std::string(what));
    return kExitNoVersion;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        Print("usage: fileversion <path>");
        return kExitUsage;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    std::vector<unsigned char> info(size);
    if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, info.data())) {
        return Missing("version resource");
    }

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        return Missing("fixed part");
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    Print("file=" + Quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
    Print("product=" + Quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS));

    struct Translation {
        WORD language;
        WORD codePage;
    };
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
        return Missing("translation");
    }
    const auto* translation = static_cast<const Translation*>(value);
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
        wchar_t path[64];
        std::swprintf(path, std::size(path), L"\\StringFileInfo\\%04x%04x\\%ls",
                      translation->language, translation->codePage, name);
        if (!VerQueryValueW(info.data(), path, &value, &length) || length == 0) {
            return Missing(ToUtf8(name));
        }
        const auto* text = static_cast<const wchar_t*>(value);
        Print(ToUtf8(name) + "=" + ToUtf8({text, wcsnlen(text, length)}));
    }
    return 0;
}
