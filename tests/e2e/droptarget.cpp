// A drop target for the end-to-end tests: a small topmost window, titled "DropTarget", that
// accepts one drop as a copy, prints the text it offers as two UTF-8 lines, "unicode:<text>"
// from CF_UNICODETEXT and "ansi:<text>" from CF_TEXT read in the ANSI code page (a format not
// offered prints its line with nothing after the colon), and exits.
//
//   droptarget [x y]    x y: the window's top-left corner on the screen, in pixels (default 0 0)

#include "platform/com_object_win.h"
#include "platform/handles_win.h"
#include "tool_win.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 80;

// The global memory block of `format`, up to its first NUL; empty when not offered.
std::string Offered(IDataObject* data, CLIPFORMAT format, size_t unit) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&request, &medium))) {
        return {};
    }
    std::string bytes;
    {
        const corvantis::platform::GlobalLockScope locked(medium.hGlobal);
        if (locked.data() != nullptr) {
            bytes.assign(locked.data(), locked.size());
        }
    }
    ReleaseStgMedium(&medium);
    for (size_t at = 0; at + unit <= bytes.size(); at += unit) {
        if (bytes.compare(at, unit, std::string(unit, '\0')) == 0) {
            bytes.resize(at);
            break;
        }
    }
    return bytes;
}

std::wstring FromAnsi(const std::string& bytes) {
    const int size =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

class Target final : public corvantis::platform::ComObject<IDropTarget, IID_IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL,
                                        DWORD* effect) noexcept override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) noexcept override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL,
                                   DWORD* effect) noexcept override {
        const std::string wide = Offered(data, CF_UNICODETEXT, sizeof(wchar_t));
        const std::wstring unicode(reinterpret_cast<const wchar_t*>(wide.data()),
                                   wide.size() / sizeof(wchar_t));
        corvantis::tool::Print("unicode:" + corvantis::tool::ToUtf8(unicode));
        corvantis::tool::Print("ansi:" +
                               corvantis::tool::ToUtf8(FromAnsi(Offered(data, CF_TEXT, 1))));
        *effect &= DROPEFFECT_COPY;
        PostQuitMessage(0);
        return S_OK;
    }

private:
    ~Target() override = default;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    POINT position{};
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv != nullptr && argc == 3) {
        position = {_wtoi(argv[1]), _wtoi(argv[2])};
    }
    LocalFree(argv);
    const corvantis::platform::OleScope ole;

    const HWND window =
        corvantis::tool::CreateToolWindow(L"CorvantisDropTarget", L"DropTarget", WindowProc,
                                          position, {kWidth, kHeight}, WS_EX_NOACTIVATE);
    if (window == nullptr) {
        return EXIT_FAILURE;
    }
    Target* target = new Target;
    const HRESULT registered = RegisterDragDrop(window, target);
    target->Release();
    if (FAILED(registered)) {
        return EXIT_FAILURE;
    }
    corvantis::tool::RunMessageLoop();
    RevokeDragDrop(window);
    return EXIT_SUCCESS;
}
