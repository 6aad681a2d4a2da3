#include "control/ui/RdListCtrl.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "resources/control/resource.h"

namespace control::ui {

namespace {
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kPanelFrame = RGB(0xF0, 0xF0, 0xF0);
constexpr int kRowRadios[] = {IDC_ROW_AUTO, IDC_ROW_MANUAL, IDC_ROW_UNUSED};
}  // namespace

// --- CLCBgDlg ------------------------------------------------------------------------------------

CLCBgDlg::CLCBgDlg() : CDialog(IDD_LIST_ROW_PANEL) {}

BOOL CLCBgDlg::OnInitDialog() {
    m_whiteBrush.Reset(::CreateSolidBrush(kWhite));
    // Themed radios ignore the colours we hand them; the classic look takes them.
    for (int id : kRowRadios) ::SetWindowTheme(Item(id), L"", L"");
    return TRUE;
}

bool CLCBgDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kWhite);
        result = reinterpret_cast<INT_PTR>(::GetStockObject(HOLLOW_BRUSH));
        return true;
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(m_whiteBrush.Get()));
        result = 1;
        return true;
    }
    case WM_NCPAINT: {
        // A one-pixel frame in place of the system border.
        HDC dc = ::GetWindowDC(m_hWnd);
        if (dc == nullptr) return false;
        RECT frame{};
        ::GetWindowRect(m_hWnd, &frame);
        ::OffsetRect(&frame, -frame.left, -frame.top);
        platform::win32::ScopedGdiObject pen(::CreatePen(PS_SOLID, 1, kPanelFrame));
        platform::win32::ScopedSelectObject selectPen(dc, pen.Get());
        platform::win32::ScopedSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
        ::ReleaseDC(m_hWnd, dc);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

// --- CRdListCtrl -------------------------------------------------------------------------------

CLCBgDlg* CRdListCtrl::RowPanel(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageW(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    auto* panel = reinterpret_cast<CLCBgDlg*>(item.lParam);
    return m_panels.count(panel) ? panel : nullptr;
}

int CRdListCtrl::RowChoice(int row) const {
    CLCBgDlg* panel = RowPanel(row);
    if (panel == nullptr) return 0;
    for (int id : kRowRadios)
        if (panel->IsChecked(id)) return id;
    return 0;
}

void CRdListCtrl::SetRowChoice(int row, int radioId) const {
    CLCBgDlg* panel = RowPanel(row);
    if (panel == nullptr) return;
    ::CheckRadioButton(panel->Handle(), IDC_ROW_AUTO, IDC_ROW_UNUSED, radioId);
}

bool CRdListCtrl::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_INSERTITEM) {
        AddPanel(reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem);
    } else if (header->code == LVN_DELETEITEM) {
        RemovePanel(reinterpret_cast<const NMLISTVIEW*>(lParam)->lParam);
    } else {
        return false;
    }
    result = 0;
    return true;
}

void CRdListCtrl::AddPanel(int row) {
    RECT cell{};
    cell.top = m_nColumn;
    cell.left = LVIR_LABEL;
    if (!::SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) return;

    auto* panel = new CLCBgDlg();
    if (!panel->Create(m_hWnd)) {
        // No dialog window was made, so the panel never bound itself to one.
        delete panel;
        return;
    }
    m_panels.insert(panel);
    ::ShowWindow(panel->Handle(), SW_SHOW);
    ::MoveWindow(panel->Handle(), cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);

    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = reinterpret_cast<LPARAM>(panel);
    ::SendMessageW(m_hWnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CRdListCtrl::RemovePanel(LPARAM itemData) {
    auto* panel = reinterpret_cast<CLCBgDlg*>(itemData);
    if (m_panels.erase(panel) == 0) return;
    panel->Destroy();  // the panel deletes itself once its window is gone
}

}  // namespace control::ui
