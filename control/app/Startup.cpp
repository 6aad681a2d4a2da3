#include "control/app/Startup.h"

namespace control::app {

StartupOutcome RunStartup(IStartupHost& host) {
    if (host.CheckRunningInstance()) return StartupOutcome::AnotherInstanceRuns;

    host.InitCommonControls();
    host.InitFramework();
    host.DebugLine(L"Corvane.exe initinstance");

    if (!host.StartGdiplus()) {
        host.DebugLine(L"ERROR : Fail to GdiplusStartup\n");
        return StartupOutcome::GdiplusFailed;
    }

    // Every core step runs even after an earlier one failed, so the debug output names each
    // call that did not answer; the user sees one message for all of them.
    bool ok = true;
    if (!host.LoadCore()) {
        host.DebugLine(L"ERROR : Fail to CorvaneCtrl Initialize\n");
        ok = false;
    }
    uint32_t statusFlags = 0;
    if (!host.ReadStatusFlags(statusFlags)) {
        host.DebugLine(L"ERROR : Fail to CorvaneCtrl GetStatus\n");
        statusFlags = 0;
        ok = false;
    }
    if (!host.ProbeConfig()) {
        host.DebugLine(L"ERROR : Fail to CorvaneCtrl GetConfig\n");
        ok = false;
    }

    if (!host.StartSockets()) {
        host.DebugLine(L"ERROR : Fail to CorvaneAgent Initialize\n");
        host.ShowMessage(kMbError, IDS_NOT_INSTALLED);
        return StartupOutcome::SocketLayerFailed;
    }
    if (!ok) {
        host.ShowMessage(kMbError, IDS_NOT_INSTALLED);
        return StartupOutcome::CoreUnusable;
    }
    host.DebugLine(L"CorvaneCtrl Initialize done\n");

    if ((statusFlags & kStatusMbrRegenerated) != 0 &&
        host.ShowMessage(kMbYesNo, IDS_MBR_RESTART) == kIdYes) {
        host.Restart();
        return StartupOutcome::RestartRequested;
    }

    host.RunMainWindow();
    host.ReleaseCore();
    host.StopSockets();
    return StartupOutcome::MainWindowClosed;
}

}  // namespace control::app
