#include "control/app/HDDCorvaneApp.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <winsock2.h>

#include "control/app/AppUtil.h"
#include "control/app/Startup.h"
#include "control/core/CorvaneCtrl.h"
#include "control/ui/HDDCorvaneDlg.h"
#include "control/ui/ShowMessage.h"
#include "platform/dialog/Dialog.h"
#include "resources/control/resource.h"

namespace control::app {

namespace {
// The mutex stays open for the life of the process: it is what tells a second start we run.
HANDLE g_instanceMutex = nullptr;
}  // namespace

bool CHDDCorvaneApp::CheckRunningInstance() {
    std::wstring name = platform::dialog::LoadStringResource(IDS_PRODUCT_NAME);
    HANDLE existing = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (existing == nullptr) {
        g_instanceMutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
        return false;
    }
    ::CloseHandle(existing);
    if (HWND running = ::FindWindowW(nullptr, name.c_str()))
        ::SendMessageW(running, control::ui::WM_TRAY_NOTIFY, 0, control::ui::kTrayLeftDoubleClick);
    return true;
}

// The real system behind the start-up sequence.
class Win32StartupHost : public IStartupHost {
public:
    explicit Win32StartupHost(CHDDCorvaneApp& app) : app_(app) {}

    bool CheckRunningInstance() override { return CHDDCorvaneApp::CheckRunningInstance(); }

    void InitCommonControls() override {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = 8;
        init.dwICC = 0xFF;
        ::InitCommonControlsEx(&init);
    }

    void InitFramework() override {
        app_.m_strRegistryKey = L"로컬 응용 프로그램 마법사에서 생성된 응용 프로그램";
    }

    bool StartGdiplus() override {
        Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback
        return Gdiplus::GdiplusStartup(&app_.m_gdiplusToken, &input, nullptr) == Gdiplus::Ok;
    }

    bool LoadCore() override { return TheCorvaneCtrl().Load(); }

    bool ReadStatusFlags(uint32_t& flags) override {
        corvane_ioctl::CORVANE_STATUS status{};
        if (!TheCorvaneCtrl().GetStatus(&status)) return false;
        flags = status.flags;
        return true;
    }

    bool ProbeConfig() override {
        corvane_ioctl::CORVANE_CONFIG config{};
        return TheCorvaneCtrl().GetConfig(&config);
    }

    bool StartSockets() override {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }

    void StopSockets() override { ::WSACleanup(); }

    int ShowMessage(unsigned style, unsigned stringId) override { return ::ShowMessage(style, stringId); }

    void DebugLine(const std::wstring& text) override { DebugPrint(L"%ls", text.c_str()); }

    void Restart() override {
        EnableShutdownPrivilege();
        if (!::ExitWindowsEx(EWX_REBOOT, 0))
            DebugPrint(L"ERROR : ExitWindowsEx failed (%lu)\n", ::GetLastError());
    }

    void RunMainWindow() override {
        control::ui::CHDDCorvaneDlg mainWindow;
        mainWindow.DoModal(nullptr);
    }

    void ReleaseCore() override { TheCorvaneCtrl().Release(); }

private:
    CHDDCorvaneApp& app_;
};

BOOL CHDDCorvaneApp::InitInstance() {
    Win32StartupHost host(*this);
    RunStartup(host);
    return FALSE;
}

int CHDDCorvaneApp::ExitInstance() {
    // Start-up that stopped early never reached the release after the window.
    TheCorvaneCtrl().Release();
    if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    return 0;
}

}  // namespace control::app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    control::app::CHDDCorvaneApp app;
    app.InitInstance();
    return app.ExitInstance();
}
