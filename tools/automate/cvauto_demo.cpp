// A small dialog that cvauto's self-test drives: every kind of control the product's tests press
// or read, a Korean label to prove Hangul renders, and a debug line per click to prove that the
// harness sees OutputDebugStringW.
//
// Press (1002): counts presses into label 1003 ("눌림 N"), copies the edit's text into label 1007
// and writes "cvauto_demo: press N 한글" with OutputDebugStringW.
// Check box (1004): enables button 1008 while ticked; 1008 writes "cvauto_demo: unlocked press".
// Message (1006): a message box with a Korean text, captioned like the dialog itself (as the
// product's message boxes carry its main window's title).
// Radio buttons (1009, 1010), the list view with check boxes (1011: drives C:, D:, E:), the time
// picker (1012) and the tab control (1013) report what reaches their parent as debug lines:
// "cvauto_demo: radio 1010", "cvauto_demo: row 1 checked", "cvauto_demo: tab 1"; label 1014
// shows the selected tab's name.
// Under the tab control sit two child pages (ids 1030, 1031) made from one template in the
// "MS Shell Dlg" face (the dialog itself uses "굴림"), so both faces show Hangul; both
// have a button 1020 and a label 1021; only the selected tab's page is shown, and its button
// writes "cvauto_demo: page N button" (N = 1 or 2).
// At start it writes "cvauto_demo: start", a line with a quote, a backslash, a tab and Hangul,
// and a 418-character line, so that the harness's decoding and Wine's cut can be checked.
// A hidden top-level window "cvauto 숨은 창" stands for a tray program's hidden main window: it
// answers message 1124 with "cvauto_demo: hidden 1124 <lparam>".
// Close (2): ends the dialog; the exit code is the number of presses of 1002.
//
// `cvauto_demo.exe /volatile SUBKEY` instead creates HKEY_CURRENT_USER\SUBKEY as a volatile key
// (gone at the next system start) and exits with 0, or with the registry error code.

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

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

void DebugLine(const wchar_t* format, int value) {
    wchar_t line[128];
    swprintf(line, 128, format, value);
    OutputDebugStringW(line);
}

constexpr UINT kHiddenMessage = WM_USER + 100;  // 1124, the tray callback message of the product

LRESULT CALLBACK HiddenProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kHiddenMessage) {
        wchar_t line[128];
        swprintf(line, 128, L"cvauto_demo: hidden %u %ld\n", message, static_cast<long>(lparam));
        OutputDebugStringW(line);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND CreateHiddenWindow(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HiddenProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"CvautoDemoHidden";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"CvautoDemoHidden", L"cvauto 숨은 창", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr, instance, nullptr);
}

HWND g_pages[2] = {};

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(page, GWLP_USERDATA, lparam);
        SetDlgItemTextW(page, IDC_PAGE_LABEL, lparam == 1 ? L"첫째 페이지" : L"둘째 페이지");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_PAGE_BUTTON) {
            DebugLine(L"cvauto_demo: page %d button\n", static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA)));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowPage(int index) {
    for (int i = 0; i < 2; ++i)
        if (g_pages[i]) ShowWindow(g_pages[i], i == index ? SW_SHOW : SW_HIDE);
}

void CreatePages(HWND dialog) {
    RECT area{203, 128, 287, 164};  // dialog units, inside the tab control
    MapDialogRect(dialog, &area);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    for (int i = 0; i < 2; ++i) {
        g_pages[i] = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_DEMO_PAGE), dialog, PageProc, i + 1);
        if (!g_pages[i]) continue;
        SetWindowLongPtrW(g_pages[i], GWLP_ID, IDC_DEMO_PAGE_FIRST + i);
        SetWindowPos(g_pages[i], HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
    }
    ShowPage(0);
}

void FillControls(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_DEMO_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const wchar_t* headers[] = {L"드라이브", L"상태"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 110;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        ListView_InsertColumn(list, i, &column);
    }
    const wchar_t* drives[][2] = {{L"C:", L"보호"}, {L"D:", L"해제"}, {L"E:", L"보호"}};
    for (int row = 0; row < 3; ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(drives[row][0]);
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(drives[row][1]));
    }

    SYSTEMTIME noon{};
    GetLocalTime(&noon);
    noon.wHour = 12;
    noon.wMinute = 0;
    noon.wSecond = 0;
    noon.wMilliseconds = 0;
    DateTime_SetSystemtime(GetDlgItem(dialog, IDC_DEMO_TIME), GDT_VALID, &noon);

    HWND tabs = GetDlgItem(dialog, IDC_DEMO_TABS);
    const wchar_t* names[] = {L"첫째", L"둘째"};
    for (int i = 0; i < 2; ++i) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(names[i]);
        TabCtrl_InsertItem(tabs, i, &tab);
    }
    SetDlgItemTextW(dialog, IDC_DEMO_TAB_LABEL, names[0]);
    CreatePages(dialog);
}

void OnNotify(HWND dialog, const NMHDR* header) {
    if (header->idFrom == IDC_DEMO_LIST && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        UINT before = (change->uOldState & LVIS_STATEIMAGEMASK) >> 12;
        UINT after = (change->uNewState & LVIS_STATEIMAGEMASK) >> 12;
        // Only real check-box changes: the first state image assignment goes from 0 to 1.
        if ((change->uChanged & LVIF_STATE) && before != 0 && before != after)
            DebugLine(after == 2 ? L"cvauto_demo: row %d checked\n" : L"cvauto_demo: row %d cleared\n", change->iItem);
    } else if (header->idFrom == IDC_DEMO_TABS && header->code == TCN_SELCHANGE) {
        int tab = TabCtrl_GetCurSel(header->hwndFrom);
        const wchar_t* names[] = {L"첫째", L"둘째"};
        SetDlgItemTextW(dialog, IDC_DEMO_TAB_LABEL, tab >= 0 && tab < 2 ? names[tab] : L"");
        ShowPage(tab);
        DebugLine(L"cvauto_demo: tab %d\n", tab);
    }
}

INT_PTR CALLBACK DemoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        FillControls(dialog);
        return TRUE;
    case WM_NOTIFY:
        OnNotify(dialog, reinterpret_cast<const NMHDR*>(lparam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_DEMO_PRESS:
            OnPress(dialog);
            return TRUE;
        case IDC_DEMO_CHECK:
            EnableWindow(GetDlgItem(dialog, IDC_DEMO_LOCKED), IsDlgButtonChecked(dialog, IDC_DEMO_CHECK) == BST_CHECKED);
            return TRUE;
        case IDC_DEMO_RADIO_AUTO:
        case IDC_DEMO_RADIO_MANUAL:
            if (HIWORD(wparam) == BN_CLICKED) DebugLine(L"cvauto_demo: radio %d\n", LOWORD(wparam));
            return TRUE;
        case IDC_DEMO_LOCKED:
            OutputDebugStringW(L"cvauto_demo: unlocked press\n");
            return TRUE;
        case IDC_DEMO_MESSAGE:
            MessageBoxW(dialog, L"한글 메시지 상자입니다.", L"cvauto 시험 대화상자", MB_OK | MB_ICONINFORMATION);
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

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    HWND hidden = CreateHiddenWindow(instance);
    OutputDebugStringW(L"cvauto_demo: start\n");
    // Lines that show how the harness decodes what Wine escapes, and where Wine cuts long lines.
    OutputDebugStringW(L"cvauto_demo: escapes \"q\" back\\slash\ttab 한글\n");
    std::wstring longLine = L"cvauto_demo: long ";
    longLine.append(400, L'x');
    longLine += L"\n";
    OutputDebugStringW(longLine.c_str());
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DemoProc, 0);
    if (hidden) DestroyWindow(hidden);
    OutputDebugStringW(L"cvauto_demo: end\n");
    return static_cast<int>(result);
}
