#include "platform/environment.h"

#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvantis::platform {
namespace {

// Where programs are registered by their file name, for the user and for the machine.
constexpr std::wstring_view kAppPaths =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// PATHEXT's value when it is not set.
constexpr std::wstring_view kDefaultExecutableExtensions = L".COM;.EXE;.BAT;.CMD";
// What App Paths keys carry after a program's name.
constexpr std::wstring_view kProgramExtension = L".exe";

std::optional<std::wstring> Variable(const std::wstring& name) {
    std::wstring value;
    for (DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0); size > 0;) {
        value.resize(size);
        const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
        if (length < size) {
            value.resize(length);
            return value;
        }
        size = length; // it grew meanwhile
    }
    return std::nullopt;
}

// Without a drive, a root or a server in front, a path is relative to the working folder.
bool IsRelative(std::wstring_view path) {
    return !path.starts_with(L'\\') && !path.starts_with(L'/') &&
           !(path.size() >= 2 && path[1] == L':');
}

bool IsBareName(std::wstring_view name) {
    return name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

// The extension of the last part of the path, its dot included; empty when it has none.
std::wstring_view ExtensionOf(std::wstring_view path) {
    const size_t part = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || (part != std::wstring_view::npos && dot < part)) {
        return {};
    }
    return path.substr(dot);
}

bool SameNoCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<std::wstring> ExecutableExtensions() {
    const std::optional<std::wstring> variable = Variable(L"PATHEXT");
    const std::wstring_view list = variable && !variable->empty() ? std::wstring_view(*variable)
                                                                  : kDefaultExecutableExtensions;
    std::vector<std::wstring> extensions;
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(L';', start), list.size());
        if (end > start) {
            extensions.emplace_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return extensions;
}

NameKind KindAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return NameKind::Nothing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? NameKind::Folder : NameKind::File;
}

// The folders CreateProcess looks in for a program named without a folder, after the caller's
// own: the system folders, then PATH.
std::wstring ProgramSearchPath() {
    std::wstring folders;
    for (const auto folderOf : {GetSystemDirectoryW, GetWindowsDirectoryW}) {
        wchar_t folder[MAX_PATH];
        const UINT length = folderOf(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            folders.append(folder, length).append(L";");
        }
    }
    return folders + Variable(L"PATH").value_or(L"");
}

bool IsFileOnPath(const std::wstring& searchPath, const std::wstring& name) {
    std::wstring found(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = SearchPathW(searchPath.c_str(), name.c_str(), nullptr,
                                         static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) {
            return false;
        }
        if (length < found.size()) {
            found.resize(length);
            return KindAt(found) == NameKind::File; // SearchPath finds folders too
        }
        found.resize(length);
    }
}

bool IsInAppPaths(std::wstring_view name) {
    std::wstring key(kAppPaths);
    key += name;
    if (ExtensionOf(name).empty()) {
        key += kProgramExtension;
    }
    constexpr DWORD kAnyText = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (RegGetValueW(root, key.c_str(), nullptr, kAnyText, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
    const std::optional<std::wstring> value = Variable(ToWide(name));
    if (!value) {
        return std::nullopt;
    }
    return FromWide(*value);
}

NameKind FindName(std::u16string_view name, const std::u16string& folder) {
    if (name.empty()) {
        return NameKind::Nothing;
    }
    const std::wstring wide = ToWide(name);
    const std::wstring path = IsRelative(wide) ? ToWide(folder) + L"\\" + wide : wide;
    if (const NameKind kind = KindAt(path); kind != NameKind::Nothing) {
        return kind;
    }
    const std::vector<std::wstring> extensions = ExecutableExtensions();
    const std::wstring_view extension = ExtensionOf(wide);
    std::vector<std::wstring> programs; // the names CreateProcess or the shell would run
    if (extension.empty()) {
        for (const std::wstring& executable : extensions) {
            if (KindAt(path + executable) == NameKind::File) {
                return NameKind::File;
            }
            programs.push_back(wide + executable);
        }
    } else if (std::any_of(extensions.begin(), extensions.end(),
                           [&](const std::wstring& e) { return SameNoCase(extension, e); })) {
        programs.push_back(wide);
    }
    if (!IsBareName(wide)) {
        return NameKind::Nothing;
    }
    const std::wstring searchPath = ProgramSearchPath();
    for (const std::wstring& program : programs) {
        if (IsFileOnPath(searchPath, program)) {
            return NameKind::File;
        }
    }
    return IsInAppPaths(wide) ? NameKind::File : NameKind::Nothing;
}

std::u16string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // long paths: grow until the name fits
    }
    const size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return FromWide(path);
}

} // namespace corvantis::platform
