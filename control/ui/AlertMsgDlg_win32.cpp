#include "control/ui/AlertMsgDlg.h"

#include "resources/control/resource.h"

namespace control::ui {

namespace {
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

std::wstring Capped(const std::wstring& text) {
    return text.size() < CAlertMsgDlg::kTextCapacity ? text : text.substr(0, CAlertMsgDlg::kTextCapacity - 1);
}
}  // namespace

CAlertMsgDlg::CAlertMsgDlg() : CDialog(IDD_ALERT_MSG) {}

void CAlertMsgDlg::SetTitle(const std::wstring& title) { m_strTitle = Capped(title); }
void CAlertMsgDlg::SetDrives(const std::wstring& drives) { m_strDrives = Capped(drives); }
void CAlertMsgDlg::SetExplanation(const std::wstring& text) { m_strText = Capped(text); }

BOOL CAlertMsgDlg::OnInitDialog() {
    m_whiteBrush.Reset(::CreateSolidBrush(kWhite));
    SetText(m_strTitle);
    SetItemText(IDC_ALERT_DRIVES, m_strDrives);
    SetItemText(IDC_ALERT_TEXT, m_strText);
    // Focus on OK rather than on the drive list, which would show its text selected.
    ::SetFocus(Item(IDOK));
    return FALSE;
}

bool CAlertMsgDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
        return true;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_ALERT_DRIVES_LABEL || id == IDC_ALERT_TEXT) {
            ::SetBkMode(dc, TRANSPARENT);
            result = reinterpret_cast<INT_PTR>(::GetStockObject(HOLLOW_BRUSH));
        } else {
            // The read-only drive list: white like the dialog.
            ::SetBkColor(dc, kWhite);
            result = reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace control::ui
