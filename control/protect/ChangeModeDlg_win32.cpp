#include "control/protect/ChangeModeDlg.h"

#include <commctrl.h>

#include <vector>

#include "control/app/AppUtil.h"
#include "control/core/CorvaneCtrl.h"
#include "control/protect/ChangeMode.h"
#include "control/ui/AdminDlg.h"
#include "control/ui/ShutDownDlg.h"
#include "resources/control/settings_ids.h"

namespace control::protect {

namespace {

constexpr int kDriveColumnWidth = 70;
constexpr int kModeColumnWidth = 255;

void InsertColumn(HWND list, int index, UINT titleId, int width, int format) {
    std::wstring title = platform::dialog::LoadStringResource(titleId);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = title.data();
    ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

bool IsRefusedHeaderNotification(UINT code) {
    return code == HDN_ITEMCHANGINGW || code == HDN_ITEMCHANGINGA || code == HDN_DIVIDERDBLCLICKW ||
           code == HDN_DIVIDERDBLCLICKA;
}

CorvaneCtrl::Status ReadStatus() {
    CorvaneCtrl::Status status;
    TheCorvaneCtrl().GetStatus(&status);  // a failure leaves the record zero: no rows
    return status;
}

}  // namespace

CChangeModeDlg::CChangeModeDlg() : CEnvironmentPage(IDD_CHANGE_MODE, IDB_PAGE_RESTORE_MODE) {}

BOOL CChangeModeDlg::OnInitDialog() {
    CEnvironmentPage::OnInitDialog();
    m_okButton.Attach(m_hWnd, IDC_SETTINGS_OK);
    m_okButton.SetSkin(IDB_SETTINGS_OK_BUTTON, true, 11, 277);

    m_list.Attach(m_hWnd, IDC_CHANGE_MODE_LIST);
    HWND list = m_list.Handle();
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                   LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    InsertColumn(list, 0, IDS_DRIVE_COLUMN, kDriveColumnWidth, LVCFMT_LEFT);
    InsertColumn(list, 1, IDS_RESTORE_MODE_COLUMN, kModeColumnWidth, LVCFMT_CENTER);
    ::MoveWindow(list, 35, 100, 350, 97, FALSE);
    FillRows();
    return TRUE;
}

void CChangeModeDlg::FillRows() {
    m_list.SetPanelColumn(1);
    std::vector<RestoreModeRow> rows = RestoreModeRows(ReadStatus());
    for (size_t i = 0; i < rows.size(); ++i) {
        wchar_t text[8] = {};
        std::swprintf(text, 8, L"%c:", static_cast<wchar_t>(rows[i].letter));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text;
        int row = static_cast<int>(::SendMessageW(m_list.Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row >= 0) m_list.SetRowChoice(row, rows[i].radio);
    }
}

void CChangeModeDlg::RefreshRadios() {
    std::vector<RestoreModeRow> drives = RestoreModeRows(ReadStatus());
    int count = static_cast<int>(::SendMessageW(m_list.Handle(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char letter = RowLetter(row);
        for (const auto& drive : drives)
            if (drive.letter == letter) m_list.SetRowChoice(row, drive.radio);
    }
}

char CChangeModeDlg::RowLetter(int row) const {
    wchar_t text[8] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 8;
    ::SendMessageW(m_list.Handle(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return (text[0] >= L'A' && text[0] <= L'Z') ? static_cast<char>(text[0]) : '\0';
}

void CChangeModeDlg::Apply() {
    std::vector<RestoreModeRow> rows;
    int count = static_cast<int>(::SendMessageW(m_list.Handle(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) rows.push_back({RowLetter(row), m_list.RowChoice(row)});

    ui::CMessageBoxPort messages;
    ui::CAdminPrompt prompt;
    ApplyResult result = ApplyRestoreModes(messages, prompt, TheCorvaneCtrl(), rows);
    if (result != ApplyResult::kRestart) return;
    control::app::DebugPrint(L"Corvane restore modes applied\n");
    if (ui::CShutDownDlg* countdown = ui::CShutDownDlg::MakeAfterProtectionChange()) countdown->Open(m_hWnd);
}

bool CChangeModeDlg::OnCommand(WORD id, WORD code, HWND) {
    if (id != IDC_SETTINGS_OK || code != BN_CLICKED) return false;
    Apply();
    return true;
}

bool CChangeModeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_SHOWWINDOW && wParam) RefreshRadios();
    if (message == WM_NOTIFY && IsRefusedHeaderNotification(reinterpret_cast<const NMHDR*>(lParam)->code)) {
        // The column widths are part of the page's look.
        result = 1;
        return true;
    }
    return CEnvironmentPage::OnMessage(message, wParam, lParam, result);
}

}  // namespace control::protect
