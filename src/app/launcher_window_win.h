#pragma once
// The launcher window `Form1`: borderless, topmost, off the taskbar; the title strip with the
// input box across its top and the entry list below.

#include "app/launcher_layout.h"
#include "editing/editor_window_win.h"
#include "editing/entry_menu_win.h"
#include "platform/base_window_win.h"
#include "platform/drop_win.h"
#include "platform/handles_win.h"
#include "platform/list_box_win.h"
#include "platform/panel_win.h"
#include "store/pubstr.h"

#include <array>
#include <string>

namespace corvantis::app {

class LauncherWindow : public platform::BaseWindow<LauncherWindow>, editing::EditorHost {
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

    // Resolves the input box's request against the entry file and opens every match.
    void Command5_Click();

    // Writes a changed list back, then ends the program. When the write fails the program keeps
    // running with its list, so that nothing is lost: the user is told and can close again.
    void Image3_Click();

    static HICON ClassIcon(HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // How the editor reaches the launcher.
    editing::EntryList& Entries() override { return entries_; }
    void HideForAdding() override;
    void SuspendDocking() override;
    void ReturnFromEditor() override;

    static LRESULT CALLBACK List1Proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self) noexcept;
    void List1_MouseUp();
    void List1_MouseMove(WPARAM keys, LPARAM position);
    void List1_OLEDragDrop(std::u16string text);
    void RunMenuCommand(editing::MenuCommand command);

    void CreateControls();
    void CreateTooltips();
    void Load();
    void Layout();
    void MoveFocus(bool backwards);

    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnPaint();
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    void OnTimer1();
    void OnPmenuMouseMove(WPARAM keys);
    void OnEndSession(bool ending);

    void Command1_Click();
    void Command2_Click();

    store::Pubstr& pubstr_;
    std::u16string entryFile_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    TwipsRect frame_{0, 0, 75, 150}; // s2, placed by the load
    TwipsRect strip_ = launcher::kPmenu;

    platform::Panel pmenu_;
    HWND text1_ = nullptr;
    HWND image1_ = nullptr;
    HWND image3_ = nullptr;
    HWND title_ = nullptr;
    HWND list1_ = nullptr;
    std::array<HWND, 5> commands_{}; // Command1 to Command5
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    POINT list1Press_{}; // where the left button went down on the list, to tell a drag
    bool list1Pressed_ = false;

    platform::ListBoxEntries entries_{nullptr};
    editing::EntryMenu menu_;
    editing::EditorWindow editor_;
    platform::DropRegistration list1Drop_;

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
