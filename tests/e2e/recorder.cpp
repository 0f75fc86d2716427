// Records how it was started, for the end-to-end tests of launching: each start writes the path
// of its exe (GetModuleFileNameW), a line end, and its whole command line (GetCommandLineW), in
// UTF-8, to a file of its own and ends. It has no window and no
// console, so it neither takes the activation from the launcher nor waits for anything, and
// starts side by side never write into the same file.
//
// The file goes into the folder that the environment variable CORVANTIS_RECORDS names (the
// launcher's children inherit it), else beside the exe. Its name is the start's
// QueryPerformanceCounter stamp, zero-padded so that names sort in start order, then its process
// id: "<stamp>-<pid>.started". It is written under another name first and then renamed, so a
// reader never sees half a command line.

#include "platform/handles_win.h"
#include "tool_win.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kRecordsVariable[] = L"CORVANTIS_RECORDS";
constexpr DWORD kVariableMax = 32767;
constexpr size_t kNameMax = 64;
constexpr int kExitNotWritten = 1;

std::wstring ExePath() {
    std::wstring path(kVariableMax, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), kVariableMax));
    return path;
}

std::wstring RecordsFolder(const std::wstring& exe) {
    std::wstring folder(kVariableMax, L'\0');
    const DWORD size = GetEnvironmentVariableW(kRecordsVariable, folder.data(), kVariableMax);
    if (size > 0 && size < kVariableMax) {
        folder.resize(size);
        return folder;
    }
    return exe.substr(0, exe.rfind(L'\\'));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LARGE_INTEGER stamp{};
    QueryPerformanceCounter(&stamp);
    wchar_t name[kNameMax];
    std::swprintf(name, kNameMax, L"\\%020lld-%lu", static_cast<long long>(stamp.QuadPart),
                  GetCurrentProcessId());
    const std::wstring exe = ExePath();
    const std::wstring base = RecordsFolder(exe) + name;
    const std::wstring partial = base + L".partial";
    const std::string line = corvantis::tool::ToUtf8(exe + L"\n" + GetCommandLineW());

    {
        const corvantis::platform::UniqueFileHandle file(
            CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file ||
            !WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr) ||
            written != line.size()) {
            return kExitNotWritten;
        }
    }
    return MoveFileW(partial.c_str(), (base + L".started").c_str()) ? 0 : kExitNotWritten;
}
