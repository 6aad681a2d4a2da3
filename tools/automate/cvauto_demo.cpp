// A small dialog that cvauto's self-test drives: every kind of control the product's tests press
// or read, a Korean label to prove Hangul renders, and a debug line per click to prove that the
// harness sees OutputDebugStringW.
//
// Press (1002): counts presses into label 1003 ("눌림 N"), copies the edit's text into label 1007
// and writes "cvauto_demo: press N 한글" with OutputDebugStringW.
// Check box (1004): enables button 1008 while ticked; 1008 writes "cvauto_demo: unlocked press".
// Message (1006): a message box titled "cvauto 알림" with a Korean text.
// Close (2): ends the dialog; the exit code is the number of presses of 1002.
//
// `cvauto_demo.exe /volatile SUBKEY` instead creates HKEY_CURRENT_USER\SUBKEY as a volatile key
// (gone at the next system start) and exits with 0, or with the registry error code.

#include <windows.h>

#include <cwchar>

#include "cvauto_demo.h"

namespace {

int g_presses = 0;

void OnPress(HWND dialog) {
    ++g_presses;
    wchar_t text[64];
    swprintf(text, 64, L"눌림 %d", g_presses);
    SetDlgItemTextW(dialog, IDC_DEMO_COUNT, text);

    wchar_t typed[256] = {};
    GetDlgItemTextW(dialog, IDC_DEMO_EDIT, typed, 256);
    SetDlgItemTextW(dialog, IDC_DEMO_ECHO, typed);

    wchar_t line[128];
    swprintf(line, 128, L"cvauto_demo: press %d 한글\n", g_presses);
    OutputDebugStringW(line);
}

INT_PTR CALLBACK DemoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_DEMO_PRESS:
            OnPress(dialog);
            return TRUE;
        case IDC_DEMO_CHECK:
            EnableWindow(GetDlgItem(dialog, IDC_DEMO_LOCKED), IsDlgButtonChecked(dialog, IDC_DEMO_CHECK) == BST_CHECKED);
            return TRUE;
        case IDC_DEMO_LOCKED:
            OutputDebugStringW(L"cvauto_demo: unlocked press\n");
            return TRUE;
        case IDC_DEMO_MESSAGE:
            MessageBoxW(dialog, L"한글 메시지 상자입니다.", L"cvauto 알림", MB_OK | MB_ICONINFORMATION);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, g_presses);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int CreateVolatileKey(const wchar_t* subkey) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                                  &key, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<int>(status);
    RegCloseKey(key);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc == 3 && wcscmp(argv[1], L"/volatile") == 0) {
        int status = CreateVolatileKey(argv[2]);
        LocalFree(argv);
        return status;
    }
    if (argv) LocalFree(argv);

    OutputDebugStringW(L"cvauto_demo: start\n");
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DemoProc, 0);
    OutputDebugStringW(L"cvauto_demo: end\n");
    return static_cast<int>(result);
}
