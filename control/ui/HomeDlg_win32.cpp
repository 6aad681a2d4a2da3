#include "control/ui/HomeDlg.h"

#include "control/app/AppUtil.h"
#include "control/ui/HDDCorvaneDlg.h"
#include "control/ui/MainWindowRules.h"
#include "platform/win32/ScopedWin.h"
#include "resources/control/resource.h"

namespace control::ui {

namespace {

// One button of the home page with the quadrant picture it sits on.
struct HomeButton {
    int controlId;
    UINT pngId;
    int x, y;
    UINT backgroundId;
    int backgroundX;
    int tab;
    POINT quadrantAt;
};

const HomeButton kHomeButtons[4] = {
    {IDC_HOME_RESTORE_EXE, IDB_HOME_EXE_BUTTON, 105, 120, IDB_HOME_TOP_LEFT, 105, kTabRestoreExe, {0, 0}},
    {IDC_HOME_RESTORE_CRT, IDB_HOME_CRT_BUTTON, 400, 120, IDB_HOME_TOP_RIGHT, 98, kTabRestoreCrt, {303, 0}},
    {IDC_HOME_PROTECT_CLR, IDB_HOME_CLR_BUTTON, 105, 290, IDB_HOME_BOTTOM_LEFT, 90, kTabProtectClr, {0, 185}},
    {IDC_HOME_STATUS, IDB_HOME_STATUS_BUTTON, 400, 290, IDB_HOME_BOTTOM_RIGHT, 90, kTabStatus, {303, 185}},
};
constexpr int kTopRight = 1;
constexpr DWORD kAgentPollMs = 1000;
constexpr DWORD kSettleMs = 3000;

}  // namespace

bool IsAgentServiceRunning() {
    platform::win32::ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return false;
    platform::win32::ScopedService service(::OpenServiceW(manager.Get(), L"CorvaneAgent", SERVICE_QUERY_STATUS));
    if (!service) return false;
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service.Get(), &status)) return false;
    return status.dwCurrentState == SERVICE_RUNNING;
}

CHomeDlg::CHomeDlg(CHDDCorvaneDlg& mainWindow) : CDialog(IDD_HOME), m_mainWindow(mainWindow) {}

void CHomeDlg::SkinButton(int index) {
    const HomeButton& button = kHomeButtons[index];
    if (!m_buttons[index].IsWindow()) m_buttons[index].Attach(m_hWnd, button.controlId);
    m_buttons[index].SetBlendedSkin(button.pngId, button.backgroundId, button.x, button.y, button.backgroundX);
}

void CHomeDlg::WaitForAgentService() {
    bool reported = false;
    while (!IsAgentServiceRunning()) {
        if (!reported) {
            control::app::DebugPrint(L"Corvane waiting for the CorvaneAgent service\n");
            reported = true;
        }
        ::Sleep(kAgentPollMs);
    }
    control::app::DebugPrint(L"CorvaneAgent service is running\n");
}

BOOL CHomeDlg::OnInitDialog() {
    for (int index = 0; index < 4; ++index)
        if (index != kTopRight) m_quadrants[index].Reset(LoadPngBitmap(kHomeButtons[index].backgroundId));
    for (int index = 0; index < 4; ++index)
        if (index != kTopRight) SkinButton(index);

    // Several pages talk to the agent service; nothing may be shown before it answers.
    WaitForAgentService();

    m_quadrants[kTopRight].Reset(LoadPngBitmap(kHomeButtons[kTopRight].backgroundId));
    SkinButton(kTopRight);
    ::Sleep(kSettleMs);
    ::MoveWindow(m_hWnd, kMainPageRect.left, kMainPageRect.top, kMainPageRect.right - kMainPageRect.left,
                 kMainPageRect.bottom - kMainPageRect.top, FALSE);
    return TRUE;
}

bool CHomeDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return false;
    for (const HomeButton& button : kHomeButtons) {
        if (button.controlId == id) {
            m_mainWindow.ShowPage(button.tab);
            return true;
        }
    }
    return false;
}

bool CHomeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_ERASEBKGND) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    for (int index = 0; index < 4; ++index)
        DrawBitmap(dc, static_cast<HBITMAP>(m_quadrants[index].Get()), kHomeButtons[index].quadrantAt.x,
                   kHomeButtons[index].quadrantAt.y);
    result = 1;
    return true;
}

}  // namespace control::ui
