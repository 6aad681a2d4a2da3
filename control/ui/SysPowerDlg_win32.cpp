#include "control/ui/SysPowerDlg.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cstring>

#include "control/app/AppUtil.h"
#include "control/core/CorvaneCtrl.h"
#include "control/ui/AdminDlg.h"
#include "control/ui/ShutDownDlg.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchPeriodMs = 5000;
constexpr int kRadios[] = {IDC_POWER_NONE, IDC_POWER_SHUTDOWN, IDC_POWER_RESTART};

static_assert(sizeof(SYSTEMTIME) == sizeof(corvane_ioctl::CORVANE_SYSTEMTIME), "same layout");

}  // namespace

CSysPowerDlg::CSysPowerDlg() : CEnvironmentPage(IDD_SYS_POWER, IDB_PAGE_POWER) {}

BOOL CSysPowerDlg::OnInitDialog() {
    CEnvironmentPage::OnInitDialog();
    m_okButton.Attach(m_hWnd, IDC_SETTINGS_OK);
    m_okButton.SetSkin(IDB_SETTINGS_OK_BUTTON, true, 11, 277);
    for (int i = 0; i < 3; ++i) {
        ::MoveWindow(Item(kRadios[i]), 70, 110 + 30 * i, 300, 13, FALSE);
        // Themed radios would paint their own background over the page image.
        ::SetWindowTheme(Item(kRadios[i]), L"", L"");
    }
    ::MoveWindow(Item(IDC_POWER_TIME), 90, 200, 120, 20, FALSE);
    LoadPowerSchedule();
    return TRUE;
}

void CSysPowerDlg::LoadPowerSchedule() {
    PowerPageView view = m_schedule.Load(TheCorvaneCtrl());
    ::CheckRadioButton(m_hWnd, IDC_POWER_NONE, IDC_POWER_RESTART, view.radio);
    EnableItem(IDC_POWER_TIME, view.pickerEnabled);
    if (!view.debugLine.empty()) control::app::DebugPrint(L"%ls\n", view.debugLine.c_str());
    if (view.setPickerTime) {
        SYSTEMTIME time{};
        ::SendMessageW(Item(IDC_POWER_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        time.wHour = view.hour;
        time.wMinute = view.minute;
        time.wSecond = view.second;
        ::SendMessageW(Item(IDC_POWER_TIME), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    SyncWatchTimer();
}

void CSysPowerDlg::SavePowerSchedule() {
    int radio = IDC_POWER_NONE;
    for (int id : kRadios)
        if (IsChecked(id)) radio = id;
    SYSTEMTIME picked{};
    ::SendMessageW(Item(IDC_POWER_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked));
    corvane_ioctl::CORVANE_SYSTEMTIME time;
    std::memcpy(&time, &picked, sizeof time);

    CAdminPrompt prompt;
    CMessageBoxPort messages;
    m_schedule.Save(prompt, messages, TheCorvaneCtrl(), radio, time);
    SyncWatchTimer();
}

bool CSysPowerDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_SETTINGS_OK:
        SavePowerSchedule();
        return true;
    case IDC_POWER_NONE:
        EnableItem(IDC_POWER_TIME, false);
        return true;
    case IDC_POWER_SHUTDOWN:
    case IDC_POWER_RESTART:
        EnableItem(IDC_POWER_TIME, true);
        return true;
    default:
        return false;
    }
}

bool CSysPowerDlg::OnTimer(UINT_PTR id) {
    if (id != kWatchTimer) return false;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    if (m_schedule.WatchTick(now.wHour, now.wMinute)) {
        SyncWatchTimer();
        if (CShutDownDlg* countdown = CShutDownDlg::MakePowerSchedule(m_schedule.Restart())) countdown->Open(m_hWnd);
    }
    return true;
}

bool CSysPowerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_SHOWWINDOW) LoadPowerSchedule();
    return CEnvironmentPage::OnMessage(message, wParam, lParam, result);
}

void CSysPowerDlg::SyncWatchTimer() {
    if (m_schedule.Watching() && !m_bWatchTimer) {
        m_bWatchTimer = ::SetTimer(m_hWnd, kWatchTimer, kWatchPeriodMs, nullptr) != 0;
    } else if (!m_schedule.Watching() && m_bWatchTimer) {
        ::KillTimer(m_hWnd, kWatchTimer);
        m_bWatchTimer = false;
    }
}

}  // namespace control::ui
