// The control program's main window: a captionless skinned dialog with seven tabs, one page
// area, the version and the protection mode, and a notification-area icon with a small menu.
// It starts hidden and is shown from the tray or when a second start of the program asks for it
// (message 1124 with 515).
#pragma once

#include <memory>
#include <string>

#include "control/ui/MainWindowRules.h"
#include "control/ui/SkinWidgets.h"
#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::ui {

constexpr UINT WM_TRAY_NOTIFY = 1124;        // tray-icon callback message
constexpr LPARAM kTrayLeftDoubleClick = 515; // WM_LBUTTONDBLCLK
constexpr LPARAM kTrayRightButtonUp = 517;   // WM_RBUTTONUP

class CHDDCorvaneDlg : public platform::dialog::CDialog {
public:
    CHDDCorvaneDlg();
    ~CHDDCorvaneDlg() override;

    // Lets the window show, centres it and brings it to the front.
    void OpenFromTray();
    // Hides the current page and shows the page of `tab` with its tab highlighted.
    void ShowPage(int tab);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    void OnOK() override {}      // Enter never closes the window
    void OnCancel() override {}  // nor does Escape
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SetUpLabels();
    void CreatePages();
    void AddTrayIcon();
    void ShowTrayMenu();
    void Paint();
    void DrawTabStrip(HDC dc) const;
    bool OnMouse(UINT message, int x, int y);

    std::unique_ptr<platform::dialog::CDialog> m_pages[kTabCount];
    platform::dialog::CDialog* m_pCurrentPage = nullptr;
    int m_nCurrentTab = 0;
    HBITMAP m_hCurrentStrip = nullptr;

    platform::win32::ScopedGdiObject m_background;
    platform::win32::ScopedGdiObject m_strips[kTabCount];
    CLJImgBtn m_closeButton;
    platform::win32::ScopedIcon m_bigIcon;
    platform::win32::ScopedIcon m_smallIcon;
    platform::win32::ScopedIcon m_trayIcon;

    bool m_bShowPermitted = false;
    bool m_bTrayAdded = false;
    std::wstring m_trayTip;
    UINT m_taskbarCreatedMessage = 0;
};

}  // namespace control::ui
