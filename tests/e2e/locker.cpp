// Holds a file open without sharing, for the end-to-end tests: while it runs, no other Wine
// process can open the file or replace it, so the launcher's write of data.txt fails.
//
//   locker <path> [--scan]
//
// With --scan it holds the file as a virus scanner or indexer does: open for reading, sharing
// reading and writing but not deletion, so the file can be read but not replaced.
//
// Prints "locked" once the file is held, then waits until its standard input closes (or it is
// killed) and lets the file go. Exit status: 0 released, 1 the file could not be opened,
// 64 bad usage.

#include "platform/handles_win.h"
#include "tool_win.h"

#include <windows.h>

#include <string_view>

namespace {

constexpr int kExitOpenFailed = 1;
constexpr int kExitUsage = 64;

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool scan = argc == 3 && std::wstring_view(argv[2]) == L"--scan";
    if (argc != 2 && !scan) {
        corvantis::tool::Print("usage: locker <path> [--scan]");
        return kExitUsage;
    }
    const corvantis::platform::UniqueFileHandle file(
        CreateFileW(argv[1], scan ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                    scan ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        corvantis::tool::Print("open failed");
        return kExitOpenFailed;
    }
    corvantis::tool::Print("locked");
    // The test ends the hold by closing our standard input: ReadFile then reports end of file.
    char byte = 0;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read != 0) {
    }
    return 0;
}
