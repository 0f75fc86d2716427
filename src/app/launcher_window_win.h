#pragma once
// The launcher window `Form1`: borderless, topmost, off the taskbar; the title strip with the
// input box across its top and the entry list below.

#include "app/base_window_win.h"
#include "app/launcher_layout.h"
#include "app/title_strip_win.h"
#include "platform/handles_win.h"
#include "store/pubstr.h"

#include <array>
#include <string>

namespace corvantis::app {

class LauncherWindow : public BaseWindow<LauncherWindow> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisLauncher";

    explicit LauncherWindow(store::Pubstr& pubstr);

    // Creates the window and runs its load: centred, list filled, shown topmost, focus in Text1.
    bool Create();

    // Sees every key of the window's controls before they do (key preview), and moves the focus
    // along the window's tab order. True when the message was used up.
    bool PreTranslateMessage(const MSG& message);

    // Rewrites the entry file from the list. False when the file could not be written; it is
    // then left as it was.
    bool ConfigSave();

    static HICON ClassIcon(HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void CreateControls();
    void Load();
    void Layout();
    void MoveFocus(bool backwards);

    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnPaint();
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);

    void Command1_Click();
    void Command2_Click();

    store::Pubstr& pubstr_;
    std::u16string entryFile_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    TwipsRect frame_{0, 0, 75, 150}; // s2, placed by the load
    TwipsRect strip_ = launcher::kPmenu;

    TitleStrip pmenu_;
    HWND text1_ = nullptr;
    HWND image1_ = nullptr;
    HWND image3_ = nullptr;
    HWND title_ = nullptr;
    HWND list1_ = nullptr;
    std::array<HWND, 5> commands_{}; // Command1 to Command5
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;

    platform::UniqueFont windowFont_;
    platform::UniqueFont text1Font_;
    platform::UniqueFont titleFont_;
    platform::UniqueFont list1Font_;
    platform::UniqueFont buttonFont_;
    platform::UniqueBrush list1Brush_;
    platform::UniqueBitmap keepOnTopGlyph_;
    platform::UniqueBitmap exitGlyph_;
};

} // namespace corvantis::app
