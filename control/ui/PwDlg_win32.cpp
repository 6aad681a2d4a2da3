#include "control/ui/PwDlg.h"

#include "control/core/CorvaneCtrl.h"
#include "control/ui/AdminDlg.h"
#include "control/ui/PasswordGate.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

namespace {
constexpr int kEdits[] = {IDC_PW_CURRENT, IDC_PW_NEW, IDC_PW_CONFIRM};
constexpr int kLabels[] = {IDC_PW_CURRENT_LABEL, IDC_PW_NEW_LABEL, IDC_PW_CONFIRM_LABEL};
}

CPwDlg::CPwDlg() : CEnvironmentPage(IDD_PASSWORD_PAGE, IDB_PAGE_PASSWORD) {}

BOOL CPwDlg::OnInitDialog() {
    CEnvironmentPage::OnInitDialog();
    m_okButton.Attach(m_hWnd, IDC_SETTINGS_OK);
    m_okButton.SetSkin(IDB_SETTINGS_OK_BUTTON, true, 11, 277);
    // Placed in pixels, like the page itself: dialog units follow the font, the background does not.
    for (int i = 0; i < 3; ++i) {
        ::MoveWindow(Item(kLabels[i]), 40, 95 + 40 * i, 120, 16, FALSE);
        ::MoveWindow(Item(kEdits[i]), 170, 92 + 40 * i, 190, 22, FALSE);
        ::SendMessageW(Item(kEdits[i]), EM_LIMITTEXT, kPasswordChars - 1, 0);
    }
    return TRUE;
}

bool CPwDlg::OnCommand(WORD id, WORD code, HWND) {
    if (id != IDC_SETTINGS_OK || code != BN_CLICKED) return false;
    CMessageBoxPort messages;
    PasswordChangeResult result = ChangeAdminPassword(messages, TheCorvaneCtrl(), ItemText(IDC_PW_CURRENT),
                                                      ItemText(IDC_PW_NEW), ItemText(IDC_PW_CONFIRM));
    if (result != PasswordChangeResult::kRefused) ClearEdits();
    return true;
}

bool CPwDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    // Typed passwords do not wait on a hidden page for the next person at the desk.
    if (message == WM_SHOWWINDOW) ClearEdits();
    return CEnvironmentPage::OnMessage(message, wParam, lParam, result);
}

void CPwDlg::ClearEdits() {
    for (int id : kEdits) SetItemText(id, L"");
}

}  // namespace control::ui
