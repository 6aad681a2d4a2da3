#include "control/ui/HDDCorvaneDlg.h"

#include "control/app/AppUtil.h"
#include "control/ui/MainWindowHandle.h"
#include "resources/control/resource.h"

namespace control::ui {

namespace {
HWND g_mainWindow = nullptr;
DWORD g_mainWindowThread = 0;
}  // namespace

HWND MainWindowHandle() {
    return ::GetCurrentThreadId() == g_mainWindowThread ? g_mainWindow : nullptr;
}

void SetMainWindowHandle(HWND hwnd) {
    g_mainWindow = hwnd;
    g_mainWindowThread = hwnd ? ::GetCurrentThreadId() : 0;
}

CHDDCorvaneDlg::CHDDCorvaneDlg() : CDialog(IDD_HDDCORVANE_DIALOG) {}

BOOL CHDDCorvaneDlg::OnInitDialog() {
    SetMainWindowHandle(m_hWnd);
    SetText(platform::dialog::LoadStringResource(IDS_PRODUCT_NAME));
    SetItemText(IDC_PLACEHOLDER_LABEL, L"Ver 9.0.51 (V-IRE)");
    return TRUE;
}

void CHDDCorvaneDlg::OpenFromTray() {
    m_bShowPermitted = true;
    CenterOnScreen();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    control::app::DebugPrint(L"Corvane main window opened\n");
}

bool CHDDCorvaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_TRAY_NOTIFY:
        if (lParam == kTrayLeftDoubleClick) OpenFromTray();
        result = 0;
        return true;
    case WM_WINDOWPOSCHANGING: {
        // The dialog manager shows a modal dialog by itself; only the tray may show this one.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (m_bShowPermitted)
            pos->flags |= SWP_SHOWWINDOW;
        else
            pos->flags &= ~SWP_SHOWWINDOW;
        return false;
    }
    case WM_SHOWWINDOW:
        if (wParam == FALSE) m_bShowPermitted = false;
        return false;
    case WM_CLOSE:
        ::EndDialog(m_hWnd, IDCANCEL);
        result = 0;
        return true;
    case WM_DESTROY:
        SetMainWindowHandle(nullptr);
        return false;
    default:
        return false;
    }
}

}  // namespace control::ui
