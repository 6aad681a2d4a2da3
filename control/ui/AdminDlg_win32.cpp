#include "control/ui/AdminDlg.h"

#include <cwchar>

#include "control/core/CorvaneCtrl.h"
#include "control/ui/MainWindowHandle.h"
#include "control/ui/ShowMessage.h"
#include "resources/control/resource.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

CAdminDlg::CAdminDlg(wchar_t* buffer, size_t capacity)
    : CDialog(IDD_ADMIN), m_pszBuffer(buffer), m_nCapacity(capacity) {}

BOOL CAdminDlg::OnInitDialog() {
    m_whiteBrush.Reset(::CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
    SetText(platform::dialog::LoadStringResource(IDS_PRODUCT_NAME));
    ::SendMessageW(Item(IDC_ADMIN_PASSWORD), EM_LIMITTEXT, m_nCapacity > 0 ? m_nCapacity - 1 : 0, 0);
    CenterOnScreen();
    // Above the main window and any countdown, so the prompt is never hidden behind them.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(Item(IDC_ADMIN_PASSWORD));
    return FALSE;  // focus set here
}

void CAdminDlg::OnOK() {
    if (m_pszBuffer != nullptr && m_nCapacity > 0) {
        ::GetDlgItemTextW(m_hWnd, IDC_ADMIN_PASSWORD, m_pszBuffer, static_cast<int>(m_nCapacity));
        m_pszBuffer[m_nCapacity - 1] = L'\0';
    }
    EndDialog(IDOK);
}

bool CAdminDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
        return true;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == Item(IDC_ADMIN_LABEL) ||
            reinterpret_cast<HWND>(lParam) == Item(IDC_ADMIN_FRAME)) {
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            result = reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool CAdminPrompt::Ask(std::wstring& text) {
    wchar_t buffer[kPasswordChars] = {};
    CAdminDlg prompt(buffer, kPasswordChars);
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) owner = MainWindowHandle();
    if (prompt.DoModal(owner) != IDOK) return false;
    text = buffer;
    ::SecureZeroMemory(buffer, sizeof buffer);
    return true;
}

int CMessageBoxPort::Show(unsigned style, unsigned stringId) { return ShowMessage(style, stringId); }

bool AskAdminPassword(std::wstring& password) {
    CAdminPrompt prompt;
    CMessageBoxPort messages;
    return AskAdminPassword(prompt, messages, TheCorvaneCtrl(), password);
}

}  // namespace control::ui
