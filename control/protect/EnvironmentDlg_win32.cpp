#include "control/protect/EnvironmentDlg.h"

#include <commctrl.h>
#include <windowsx.h>

#include "control/app/AppUtil.h"
#include "control/protect/ChangeModeDlg.h"
#include "control/protect/EnvironmentPage.h"
#include "control/ui/PwDlg.h"
#include "control/ui/SkinWidgets.h"
#include "control/ui/SysPowerDlg.h"
#include "resources/control/resource.h"
#include "resources/control/settings_ids.h"

namespace control::protect {

namespace {

constexpr int kRestoreModeItem = 2;
constexpr UINT kExcludedFoldersBackground = 261;
constexpr UINT kSecurityBackground = 260;
constexpr UINT kTurboBootBackground = 276;

std::unique_ptr<platform::dialog::CDialog> MakePage(unsigned templateId) {
    switch (templateId) {
    case IDD_PASSWORD_PAGE:
        return std::make_unique<ui::CPwDlg>();
    case IDD_CHANGE_MODE:
        return std::make_unique<CChangeModeDlg>();
    case IDD_SYS_POWER:
        return std::make_unique<ui::CSysPowerDlg>();
    case IDD_UNPROT_PAGE:
        return std::make_unique<CEnvironmentPage>(templateId, kExcludedFoldersBackground);
    case IDD_SECURITY_PAGE:
        return std::make_unique<CEnvironmentPage>(templateId, kSecurityBackground);
    default:
        return std::make_unique<CEnvironmentPage>(templateId, kTurboBootBackground);
    }
}

int ItemOfPage(unsigned templateId) {
    for (int item = 1; item <= kMenuItemCount; ++item)
        if (MenuItemPage(item) == templateId) return item;
    return kNoMenuItem;
}

}  // namespace

CEnvironmentDlg::CEnvironmentDlg() : CDialog(IDD_ENVIRONMENT) {}

CEnvironmentDlg::~CEnvironmentDlg() = default;

BOOL CEnvironmentDlg::OnInitDialog() {
    // The power page's time picker is not among the classes the program registers at start.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    for (unsigned templateId : kPageCreationOrder) {
        int item = ItemOfPage(templateId);
        m_pages[item - 1] = MakePage(templateId);
        if (!m_pages[item - 1]->Create(m_hWnd))
            control::app::DebugPrint(L"ERROR : Fail to create settings page %u (%lu)\n", templateId, ::GetLastError());
    }
    for (int item = 1; item <= kMenuItemCount; ++item)
        ::ShowWindow(Page(item)->Handle(), item == 1 ? SW_SHOW : SW_HIDE);
    m_nCurrentItem = 1;
    m_pCurrentPage = Page(1);
    ::MoveWindow(m_hWnd, 6, 79, 606, 363, FALSE);
    for (int item = 1; item <= kMenuItemCount; ++item)
        m_backgrounds[item - 1].Reset(ui::LoadPngBitmap(MenuItemBackground(item)));
    m_hCurrentBackground = static_cast<HBITMAP>(m_backgrounds[0].Get());
    return TRUE;
}

void CEnvironmentDlg::SelectItem(int item) {
    if (m_pCurrentPage != nullptr) ::ShowWindow(m_pCurrentPage->Handle(), SW_HIDE);
    m_pCurrentPage = Page(item);
    ::ShowWindow(m_pCurrentPage->Handle(), SW_SHOW);
    m_nCurrentItem = item;
    m_hCurrentBackground = static_cast<HBITMAP>(m_backgrounds[item - 1].Get());
    if (HDC dc = ::GetDC(m_hWnd)) {
        ui::DrawBitmap(dc, m_hCurrentBackground, 0, 0);
        ::ReleaseDC(m_hWnd, dc);
    }
    control::app::DebugPrint(L"Corvane settings item %d shown\n", item);
}

bool CEnvironmentDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        if (MenuItemAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) != kNoMenuItem)
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return false;
    case WM_LBUTTONUP: {
        int item = MenuItemAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (ShouldSwitchMenuItem(item, m_nCurrentItem)) SelectItem(item);
        return false;
    }
    case WM_ERASEBKGND:
        if (m_hCurrentBackground == nullptr) return false;
        ui::DrawBitmap(reinterpret_cast<HDC>(wParam), m_hCurrentBackground, 0, 0);
        result = 1;
        return true;
    case WM_CLOSE:
        if (Page(kRestoreModeItem) != nullptr) ::PostMessageW(Page(kRestoreModeItem)->Handle(), WM_CLOSE, 0, 0);
        return false;
    default:
        return false;
    }
}

}  // namespace control::protect
