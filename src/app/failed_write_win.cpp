#include "app/failed_write_win.h"

#include "app/texts.h"
#include "platform/handles_win.h"
#include "platform/message_box_win.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>
#include <memory>

namespace corvantis::app {
namespace {

void Fill(std::wstring& text, std::wstring_view field, std::wstring_view value) {
    for (size_t at = text.find(field); at != std::wstring::npos;
         at = text.find(field, at + value.size())) {
        text.replace(at, field.size(), value);
    }
}

const wchar_t* CauseText(core::WriteFault fault) {
    switch (fault) {
    case core::WriteFault::ReadOnly:
        return texts::kCauseReadOnly;
    case core::WriteFault::InUse:
        return texts::kCauseInUse;
    case core::WriteFault::DiskFull:
        return texts::kCauseDiskFull;
    case core::WriteFault::Other:
        break;
    }
    return texts::kCauseOther;
}

// Whether a new file can be made at `path`: it is made and removed again at once.
bool TakesNewFile(const std::wstring& path) {
    const platform::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

using ShellText = std::unique_ptr<wchar_t, platform::HandleDeleter<wchar_t*, CoTaskMemFree>>;

// The user's local application data folder, or empty when the system does not tell it.
std::wstring LocalAppData() {
    wchar_t* found = nullptr;
    const HRESULT result =
        SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &found);
    const ShellText owned(found); // freed even when the call failed
    return SUCCEEDED(result) && found != nullptr ? std::wstring(found) : std::wstring();
}

} // namespace

std::wstring FailureText(const wchar_t* text, const std::u16string& path, core::WriteFault fault,
                         const std::u16string& copy) {
    std::wstring filled = text;
    Fill(filled, L"{path}", platform::ToWide(path));
    Fill(filled, L"{cause}", CauseText(fault));
    Fill(filled, L"{copy}", platform::ToWide(copy));
    return filled;
}

std::u16string CopyPath(const std::u16string& folder) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t time[32] = {};
    std::swprintf(time, std::size(time), L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    std::wstring name = texts::kCopyName;
    Fill(name, L"{time}", time);
    const std::wstring beside = platform::ToWide(folder) + L"\\" + name;
    if (TakesNewFile(beside)) {
        return platform::FromWide(beside);
    }
    std::wstring own = LocalAppData();
    if (!own.empty()) {
        own += L"\\";
        own += texts::kCopyFolder;
        CreateDirectoryW(own.c_str(), nullptr); // there already, most often
        own += L"\\" + name;
    }
    return platform::FromWide(own.empty() ? beside : own);
}

CloseChoice AskAfterFailedClose(HWND owner, const std::u16string& path, core::WriteFault fault,
                                const std::u16string& copy) {
    const std::wstring text = FailureText(texts::kCloseSaveFailed, path, fault, copy);
    // The standard abort, retry and ignore buttons, in that order, renamed.
    static constexpr platform::ButtonText kButtons[] = {
        {IDABORT, texts::kRetryButton},
        {IDRETRY, texts::kQuitUnsavedButton},
        {IDIGNORE, texts::kCancelButton},
    };
    switch (platform::MessageBoxWithButtons(owner, text.c_str(), texts::kAppTitle,
                                            MB_ABORTRETRYIGNORE | MB_ICONWARNING | MB_DEFBUTTON3,
                                            kButtons)) {
    case IDABORT:
        return CloseChoice::TryAgain;
    case IDRETRY:
        return CloseChoice::QuitUnsaved;
    default:
        return CloseChoice::KeepRunning;
    }
}

} // namespace corvantis::app
