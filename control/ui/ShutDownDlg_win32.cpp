#include "control/ui/ShutDownDlg.h"

#include <commctrl.h>

#include "control/app/AppUtil.h"
#include "resources/control/resource.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

namespace {
constexpr UINT_PTR kCountdownTimer = 100;
constexpr UINT kCountdownTickMs = 1000;
}  // namespace

CShutDownDlg* CShutDownDlg::MakePowerSchedule(bool restart) {
    return new CShutDownDlg(PowerScheduleCountdown(restart), SystemRestartPort());
}

CShutDownDlg* CShutDownDlg::MakeAfterProtectionChange() {
    return new CShutDownDlg(ProtectionChangeCountdown(), SystemRestartPort());
}

CShutDownDlg::CShutDownDlg(const CountdownSpec& spec, IRestartPort& port)
    : CDialog(IDD_SHUTDOWN), m_run(spec, port), m_spec(spec) {}

bool CShutDownDlg::Open(HWND owner) {
    if (!Create(owner)) {
        control::app::DebugPrint(L"ERROR : countdown window not created (%lu)\n", ::GetLastError());
        delete this;
        return false;
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

BOOL CShutDownDlg::OnInitDialog() {
    // Sized so that the client area holds the template's content whatever the frame takes:
    // shrinking the window to the client size would cut the buttons off.
    RECT frame{};
    ::GetClientRect(m_hWnd, &frame);
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE);
    CenterOnScreen();

    HWND bar = Item(IDC_SHUTDOWN_PROGRESS);
    ::SendMessageW(bar, PBM_SETRANGE32, 1, m_spec.seconds);
    ::SendMessageW(bar, PBM_SETPOS, 0, 0);  // held at the bottom of the range
    ::SendMessageW(bar, PBM_SETSTEP, 1, 0);

    m_bTimer = ::SetTimer(m_hWnd, kCountdownTimer, kCountdownTickMs, nullptr) != 0;

    SetItemText(IDC_SHUTDOWN_MESSAGE, CountdownMessage(m_spec));
    EnableItem(IDOK, m_spec.okEnabled);
    EnableItem(IDCANCEL, m_spec.cancelEnabled);
    control::app::DebugPrint(L"Corvane countdown %d s opened (%ls)\n", m_spec.seconds,
                             m_spec.restart ? L"restart" : L"power off");
    return TRUE;
}

bool CShutDownDlg::OnTimer(UINT_PTR id) {
    if (id != kCountdownTimer) return false;
    ::SendMessageW(Item(IDC_SHUTDOWN_PROGRESS), PBM_STEPIT, 0, 0);
    if (m_run.Tick()) {
        StopTimer();
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    }
    return true;
}

void CShutDownDlg::OnOK() {
    if (!m_spec.okEnabled) return;  // Enter must not confirm a countdown whose OK is disabled
    StopTimer();
    m_run.Confirm();
    Destroy();
}

void CShutDownDlg::OnCancel() {
    if (!m_spec.cancelEnabled && !m_run.Finished()) return;
    StopTimer();
    if (!m_run.Finished()) control::app::DebugPrint(L"Corvane countdown cancelled\n");
    m_run.Cancel();
    Destroy();
}

void CShutDownDlg::StopTimer() {
    if (m_bTimer) ::KillTimer(m_hWnd, kCountdownTimer);
    m_bTimer = false;
}

}  // namespace control::ui
