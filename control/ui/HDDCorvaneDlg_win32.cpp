#include "control/ui/HDDCorvaneDlg.h"

#include <shellapi.h>
#include <uxtheme.h>

#include <cwchar>

#include "control/app/AppUtil.h"
#include "control/core/CorvaneCtrl.h"
#include "control/protect/EnvironmentDlg.h"
#include "control/ui/HomeDlg.h"
#include "control/ui/MainWindowHandle.h"
#include "resources/control/resource.h"

namespace control::ui {

namespace {

HWND g_mainWindow = nullptr;
DWORD g_mainWindowThread = 0;

constexpr UINT_PTR kTrayTimer = 0;
constexpr UINT kTrayTimerMs = 1000;
constexpr UINT kTrayIconId = 0;
constexpr int kStripX = 6;
constexpr int kStripY = 38;
constexpr COLORREF kLabelColour = RGB(0xFF, 0xFF, 0xFF);
constexpr size_t kModeTextCapacity = 512;
constexpr size_t kProductNameCapacity = 64;
// Used only when the background picture is missing: the page area and the strip above it.
constexpr SIZE kFallbackWindowSize{618, 448};

// Tab order: page template, the strip that highlights the tab, the page's background picture.
struct TabPage {
    UINT templateId;
    UINT stripId;
    UINT backgroundId;
};
const TabPage kTabPages[kTabCount] = {
    {IDD_HOME, IDB_TAB_HOME, 0},
    {IDD_STATUS, IDB_TAB_STATUS, IDB_PAGE_STATUS},
    {IDD_RESTORE_EXE, IDB_TAB_RESTORE_EXE, IDB_PAGE_RESTORE_EXE},
    {IDD_RESTORE_CRT, IDB_TAB_RESTORE_CRT, IDB_PAGE_RESTORE_CRT},
    {IDD_PROTECT_CLR, IDB_TAB_PROTECT_CLR, IDB_PAGE_PROTECT_CLR},
    {IDD_SCHEDULE, IDB_TAB_SCHEDULE, IDB_PAGE_SCHEDULE},
    {IDD_ENVIRONMENT, IDB_TAB_ENVIRONMENT, IDB_ENV_PASSWORD},
};

std::wstring LoadText(UINT id) { return platform::dialog::LoadStringResource(id); }

// A string-table entry read into a buffer of `capacity` characters, as a fixed buffer would hold it.
std::wstring LoadTextCapped(UINT id, size_t capacity) {
    std::wstring text = LoadText(id);
    if (capacity > 0 && text.size() > capacity - 1) text.resize(capacity - 1);
    return text;
}

HICON LoadIconSized(UINT id, int size) {
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

corvane_ioctl::CORVANE_STATUS ReadStatus() {
    // A missing core or a failed read leaves the record zero, which the labels show as
    // "restore not in use".
    corvane_ioctl::CORVANE_STATUS status{};
    if (TheCorvaneCtrl().IsLoaded() && !TheCorvaneCtrl().GetStatus(&status)) status = {};
    return status;
}

}  // namespace

HWND MainWindowHandle() {
    return ::GetCurrentThreadId() == g_mainWindowThread ? g_mainWindow : nullptr;
}

void SetMainWindowHandle(HWND hwnd) {
    g_mainWindow = hwnd;
    g_mainWindowThread = hwnd ? ::GetCurrentThreadId() : 0;
}

CHDDCorvaneDlg::CHDDCorvaneDlg() : CDialog(IDD_HDDCORVANE_DIALOG) {}

CHDDCorvaneDlg::~CHDDCorvaneDlg() = default;

BOOL CHDDCorvaneDlg::OnInitDialog() {
    SetMainWindowHandle(m_hWnd);
    SetText(LoadText(IDS_PRODUCT_NAME));
    m_bigIcon.Reset(LoadIconSized(IDI_CORVANE, ::GetSystemMetrics(SM_CXICON)));
    m_smallIcon.Reset(LoadIconSized(IDI_CORVANE, ::GetSystemMetrics(SM_CXSMICON)));
    if (m_bigIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    if (m_smallIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
    m_taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");

    SetUpLabels();
    CreatePages();

    m_closeButton.Attach(m_hWnd, IDC_CLOSE_BUTTON);
    m_closeButton.SetSkin(IDB_CLOSE_BUTTON, true, 590, 11);

    m_background.Reset(LoadPngBitmap(IDB_MAIN_BACKGROUND));
    for (int tab = 0; tab < kTabCount; ++tab) m_strips[tab].Reset(LoadPngBitmap(kTabPages[tab].stripId));
    m_hCurrentStrip = static_cast<HBITMAP>(m_strips[kTabHome].Get());
    SIZE size = m_background ? BitmapSize(static_cast<HBITMAP>(m_background.Get())) : kFallbackWindowSize;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnScreen();

    ::SetTimer(m_hWnd, kTrayTimer, kTrayTimerMs, nullptr);

    if (ModeLabelFor(ReadStatus().flags).appendRestoreUnused) {
        std::wstring mode = ItemText(IDC_MODE_LABEL);
        if (mode.size() > kModeTextCapacity - 1) mode.resize(kModeTextCapacity - 1);
        SetItemText(IDC_MODE_LABEL, mode + LoadText(IDS_RESTORE_UNUSED_NOTE));
    }
    return TRUE;
}

void CHDDCorvaneDlg::SetUpLabels() {
    wchar_t version[64];
    std::swprintf(version, 64, L"Ver %d.%d.%d", 9, 0, 51);
    SetItemText(IDC_VERSION_LABEL, std::wstring(version) + L" (V-IRE)");
    ::MoveWindow(Item(IDC_VERSION_LABEL), 125, 11, 120, 15, FALSE);

    SetItemText(IDC_MODE_LABEL, LoadText(ModeLabelFor(ReadStatus().flags).stringId));
    ::MoveWindow(Item(IDC_MODE_LABEL), 400, 11, 180, 15, FALSE);

    // Themes would paint their own background behind the white text.
    ::SetWindowTheme(Item(IDC_VERSION_LABEL), L"", L"");
    ::SetWindowTheme(Item(IDC_MODE_LABEL), L"", L"");
}

void CHDDCorvaneDlg::CreatePages() {
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (tab == kTabHome)
            m_pages[tab] = std::make_unique<CHomeDlg>(*this);
        else if (tab == kTabEnvironment)
            m_pages[tab] = std::make_unique<control::protect::CEnvironmentDlg>();
        else
            m_pages[tab] = std::make_unique<CSkinPage>(kTabPages[tab].templateId, kTabPages[tab].backgroundId,
                                                       kMainPageRect);
        if (!m_pages[tab]->Create(m_hWnd))
            control::app::DebugPrint(L"ERROR : Fail to create page %u (%lu)\n", kTabPages[tab].templateId,
                                     ::GetLastError());
        // A page answers to its template id, like any control of the window.
        ::SetWindowLongPtrW(m_pages[tab]->Handle(), GWLP_ID, static_cast<LONG_PTR>(kTabPages[tab].templateId));
        ::ShowWindow(m_pages[tab]->Handle(), tab == kTabHome ? SW_SHOW : SW_HIDE);
    }
    m_pCurrentPage = m_pages[kTabHome].get();
    m_nCurrentTab = kTabHome;
}

void CHDDCorvaneDlg::ShowPage(int tab) {
    if (m_pCurrentPage == nullptr || tab < 0 || tab >= kTabCount) return;
    ::ShowWindow(m_pCurrentPage->Handle(), SW_HIDE);
    m_pCurrentPage = m_pages[tab].get();
    ::ShowWindow(m_pCurrentPage->Handle(), SW_SHOW);
    m_hCurrentStrip = static_cast<HBITMAP>(m_strips[tab].Get());
    m_nCurrentTab = tab;
    if (HDC dc = ::GetDC(m_hWnd)) {
        DrawTabStrip(dc);
        ::ReleaseDC(m_hWnd, dc);
    }
    control::app::DebugPrint(L"Corvane page %d shown\n", tab);
}

void CHDDCorvaneDlg::OpenFromTray() {
    m_bShowPermitted = true;
    CenterOnScreen();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    control::app::DebugPrint(L"Corvane main window opened\n");
}

bool CHDDCorvaneDlg::OnTimer(UINT_PTR id) {
    if (id != kTrayTimer) return false;
    ::KillTimer(m_hWnd, kTrayTimer);
    AddTrayIcon();
    return true;
}

void CHDDCorvaneDlg::AddTrayIcon() {
    if (m_trayTip.empty()) {
        TrayChoice choice = TrayChoiceFor(ReadStatus());
        NOTIFYICONDATAW probe{};
        m_trayTip = TrayTooltip(LoadTextCapped(IDS_PRODUCT_NAME, kProductNameCapacity), LoadText(choice.stringId),
                                sizeof probe.szTip / sizeof probe.szTip[0]);
        m_trayIcon.Reset(LoadIconSized(choice.iconId, ::GetSystemMetrics(SM_CXSMICON)));
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = m_trayIcon.Get();
    wcsncpy(data.szTip, m_trayTip.c_str(), sizeof data.szTip / sizeof data.szTip[0] - 1);
    m_bTrayAdded = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (m_bTrayAdded)
        control::app::DebugPrint(L"Corvane tray icon added\n");
    else
        control::app::DebugPrint(L"ERROR : Fail to add the tray icon (%lu)\n", ::GetLastError());
}

void CHDDCorvaneDlg::ShowTrayMenu() {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (menu == nullptr) return;
    if (HMENU popup = ::GetSubMenu(menu, 0)) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        // Without a message after it the menu of a tray icon may not close when clicked away.
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    }
    ::DestroyMenu(menu);
}

bool CHDDCorvaneDlg::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
    case ID_TRAY_OPEN:
        OpenFromTray();
        return true;
    case ID_TRAY_EXIT:
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    case ID_TRAY_REMOTE_SUPPORT: {
        auto shown = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(m_hWnd, L"open", RemoteSupportAddress(), nullptr, nullptr, SW_SHOWNORMAL));
        if (shown <= 32) control::app::DebugPrint(L"ERROR : Fail to open the remote support page (%ld)\n",
                                                  static_cast<long>(shown));
        return true;
    }
    case IDC_CLOSE_BUTTON:
        if (code != BN_CLICKED) return false;
        ::ShowWindow(m_hWnd, SW_HIDE);
        return true;
    default:
        return false;
    }
}

void CHDDCorvaneDlg::DrawTabStrip(HDC dc) const { DrawBitmap(dc, m_hCurrentStrip, kStripX, kStripY); }

void CHDDCorvaneDlg::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (dc == nullptr) return;
    if (::IsIconic(m_hWnd)) {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, m_bigIcon.Get());
    } else {
        DrawBitmap(dc, static_cast<HBITMAP>(m_background.Get()), 0, 0);
        DrawTabStrip(dc);
    }
    ::EndPaint(m_hWnd, &paint);
}

bool CHDDCorvaneDlg::OnMouse(UINT message, int x, int y) {
    int tab = HitTestTab(x, y);
    if (tab != kNoTab) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    if (message == WM_LBUTTONDOWN && IsDragArea(y)) {
        POINT screen{x, y};
        ::ClientToScreen(m_hWnd, &screen);
        ::ReleaseCapture();
        ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        return true;
    }
    if (message == WM_LBUTTONUP && ShouldSwitchTab(tab, m_nCurrentTab)) ShowPage(tab);
    return true;
}

bool CHDDCorvaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (m_taskbarCreatedMessage != 0 && message == m_taskbarCreatedMessage) {
        // The shell came back (Explorer restarted): our icon went with the old one.
        if (m_bTrayAdded) AddTrayIcon();
        return false;
    }
    switch (message) {
    case WM_TRAY_NOTIFY:
        if (lParam == kTrayLeftDoubleClick)
            OpenFromTray();
        else if (lParam == kTrayRightButtonUp)
            ShowTrayMenu();
        result = 0;
        return true;
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;  // WM_PAINT covers the whole window
        return true;
    case WM_CTLCOLORSTATIC: {
        int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_VERSION_LABEL && id != IDC_MODE_LABEL) return false;
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kLabelColour);
        ::SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<INT_PTR>(::GetStockObject(HOLLOW_BRUSH));
        return true;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        OnMouse(message, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        result = 0;
        return true;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == m_hWnd && LOWORD(lParam) == HTCLIENT) {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(m_hWnd, &cursor);
            if (HitTestTab(cursor.x, cursor.y) != kNoTab) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                result = TRUE;
                return true;
            }
        }
        return false;
    case WM_WINDOWPOSCHANGING: {
        // The dialog manager shows a modal dialog by itself; only the tray may show this one.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (m_bShowPermitted)
            pos->flags |= SWP_SHOWWINDOW;
        else
            pos->flags &= ~SWP_SHOWWINDOW;
        return false;
    }
    case WM_SHOWWINDOW:
        if (wParam == FALSE) m_bShowPermitted = false;
        return false;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);  // Alt+F4 ends the program
            result = 0;
            return true;
        }
        return false;
    case WM_CLOSE:
        ::EndDialog(m_hWnd, IDCANCEL);
        result = 0;
        return true;
    case WM_DESTROY: {
        ::KillTimer(m_hWnd, kTrayTimer);
        if (m_bTrayAdded) {
            NOTIFYICONDATAW data{};
            data.cbSize = sizeof data;
            data.hWnd = m_hWnd;
            data.uID = kTrayIconId;
            ::Shell_NotifyIconW(NIM_DELETE, &data);
            m_bTrayAdded = false;
        }
        for (auto& page : m_pages)
            if (page) page->Destroy();
        m_pCurrentPage = nullptr;
        m_background.Reset();
        SetMainWindowHandle(nullptr);
        return false;
    }
    default:
        return false;
    }
}

}  // namespace control::ui
