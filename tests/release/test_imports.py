"""Every function the exe imports exists on the oldest Windows its manifest claims: on an older
one the loader refuses to start it ("entry point not found"), which Wine, exporting everything,
never shows.

The minimum version of each function is the one its documentation gives ("Minimum supported
client"); a function missing from the list fails the test until its minimum is written down.
"""

import re
import unittest
import xml.etree.ElementTree as ElementTree

from release import BUILD, EXE, REPO, objdump

XP, VISTA, WIN7, WIN8, WIN81 = (5, 1), (6, 0), (6, 1), (6, 2), (6, 3)
# supportedOS can name Windows 10 but none of its versions: for it the guides' own floor counts,
# Windows 10 version 1607.
WIN10_1607 = (10, 0, 14393)

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": WIN7,
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": WIN8,
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": WIN81,
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": WIN10_1607,
}

# Newer than Windows XP, as documented; every other function below is there since XP or before.
NEWER = {
    "AcquireSRWLockExclusive": VISTA,
    "AcquireSRWLockShared": VISTA,
    "ChangeWindowMessageFilterEx": WIN7,
    "CompareStringOrdinal": VISTA,
    "GetDpiForWindow": WIN10_1607,
    "GetFinalPathNameByHandleW": VISTA,
    "GetSystemTimePreciseAsFileTime": WIN8,
    "GetTickCount64": VISTA,
    "LCMapStringEx": VISTA,
    "RegGetValueW": VISTA,
    "SHGetKnownFolderPath": VISTA,
    "ReleaseSRWLockExclusive": VISTA,
    "ReleaseSRWLockShared": VISTA,
    "SleepConditionVariableSRW": VISTA,
    "WakeConditionVariable": VISTA,
    # Windows 7 only with update KB2533623, which no Windows 7 can be counted on to have.
    "SetDefaultDllDirectories": WIN8,
}
SINCE_XP = """
    CreateFontW CreatePen CreateSolidBrush DeleteObject ExtTextOutW GetStockObject GetTextMetricsW
    Rectangle SelectObject SetBkColor SetBkMode SetTextColor
    CloseHandle CreateFileW CreateMutexW CreateSemaphoreW DeleteCriticalSection DeleteFileW
    EnterCriticalSection FindClose FindFirstFileW FindNextFileW FlushFileBuffers FreeLibrary GetACP
    GetCurrentProcessId GetCurrentThreadId GetEnvironmentVariableW GetFileAttributesW
    GetFileInformationByHandle GetFileType GetLastError GetLocaleInfoW GetLongPathNameW
    GetModuleFileNameW GetModuleHandleA GetModuleHandleW GetProcAddress GetStartupInfoW
    GetSystemDirectoryW GetSystemTimeAsFileTime GetTimeZoneInformation GetWindowsDirectoryW
    GlobalAlloc GlobalFree GlobalLock GlobalSize GlobalUnlock InitializeCriticalSection
    IsDBCSLeadByteEx IsValidCodePage LeaveCriticalSection LoadLibraryA LoadLibraryW LocalAlloc
    LocalFree MoveFileExW MultiByteToWideChar OpenMutexW OpenProcess OutputDebugStringW
    RaiseException ReadFile ReleaseMutex ReleaseSemaphore ReplaceFileW RtlCaptureContext
    RtlLookupFunctionEntry RtlUnwindEx RtlVirtualUnwind SearchPathW SetLastError
    SetUnhandledExceptionFilter Sleep TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect
    VirtualQuery WaitForSingleObject WideCharToMultiByte WriteFile __C_specific_handler
    AllowSetForegroundWindow AppendMenuW BeginPaint CallWindowProcW ClientToScreen
    CreatePopupMenu CreateWindowExW DefWindowProcW DestroyMenu DestroyWindow DispatchMessageW
    DragDetect DrawFocusRect EnableMenuItem EndPaint EnumDisplayMonitors FillRect FindWindowExW
    GetAncestor GetClassInfoExW GetClientRect GetCursorPos GetDC GetFocus GetForegroundWindow
    GetKeyState GetLastActivePopup GetMessageW GetMonitorInfoW GetParent GetSysColor
    GetSystemMetrics GetWindow GetWindowLongPtrW GetWindowRect GetWindowTextLengthW GetWindowTextW
    GetWindowThreadProcessId InSendMessage InflateRect IntersectRect InvalidateRect IsChild
    IsIconic IsWindow IsWindowVisible IsZoomed KillTimer LoadCursorW LoadIconW LoadImageW
    MapWindowPoints MessageBoxW MoveWindow NotifyWinEvent PeekMessageW PostMessageW
    PostQuitMessage PtInRect RegisterClassExW RegisterWindowMessageW ReleaseCapture ReleaseDC
    ScreenToClient SendMessageTimeoutW SendMessageW SetFocus SetForegroundWindow SetTimer
    SetWindowLongPtrW SetWindowPos SetWindowTextW ShowWindow SystemParametersInfoW TrackPopupMenu
    TranslateMessage CreateThread FormatMessageW EnumThreadWindows GetCapture SetCapture WaitMessage
    GetTextExtentExPointW GetTextExtentPoint32W CoInitializeEx CoUninitialize CoTaskMemFree
    CreateDirectoryW GetLocalTime SetFilePointerEx CallNextHookEx GetClassNameW GetDlgItem
    SetDlgItemTextW SetWindowsHookExW UnhookWindowsHookEx LockFileEx SetEndOfFile
    InitCommonControlsEx DoDragDrop OleInitialize OleUninitialize
    RegisterDragDrop ReleaseStgMedium RevokeDragDrop AccessibleObjectFromWindow
    CreateStdAccessibleObject LresultFromObject SysAllocStringLen SHCreateStdEnumFmtEtc
    ShellExecuteExW
"""
# The C runtime that every Windows carries in System32.
SINCE_XP_DLLS = {"msvcrt.dll"}
MINIMUM = {name: XP for name in SINCE_XP.split()} | NEWER


def oldest_claimed():
    manifest = ElementTree.parse(BUILD / "generated" / "corvantis.manifest")
    ids = [
        element.get("Id").lower()
        for element in manifest.iter()
        if element.tag.endswith("}supportedOS")
    ]
    return min(SUPPORTED_OS[id] for id in ids)


def imported_functions():
    """(DLL, function) for the import table and for the delay-loaded DLLs, whose functions the
    build names in cmake/delay_load/."""
    functions = []
    dll = None
    for line in objdump("-p", EXE).splitlines():
        if match := re.match(r"\s*DLL Name: (\S+)", line):
            dll = match.group(1).lower()
        elif dll and (match := re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)):
            functions.append((dll, match.group(1)))
    for definition in (REPO / "cmake" / "delay_load").glob("*.def"):
        text = definition.read_text()
        delayed = re.search(r"^LIBRARY\s+(\S+)", text, re.MULTILINE).group(1).lower()
        exports = text.split("EXPORTS", 1)[1].split()
        functions += [(delayed, name) for name in exports]
    return functions


class ImportsTest(unittest.TestCase):
    def test_every_import_exists_on_the_oldest_windows_claimed(self):
        oldest = oldest_claimed()
        functions = imported_functions()
        self.assertIn(("user32.dll", "CreateWindowExW"), functions, "objdump listed no imports")
        unknown = [f for dll, f in functions if dll not in SINCE_XP_DLLS and f not in MINIMUM]
        self.assertEqual(unknown, [], "imports whose minimum Windows is not written down here")
        newer = [
            (f, MINIMUM[f])
            for dll, f in functions
            if dll not in SINCE_XP_DLLS and MINIMUM[f] > oldest
        ]
        self.assertEqual(newer, [], f"imports missing on Windows {oldest}, which is claimed")


if __name__ == "__main__":
    unittest.main(verbosity=2)
