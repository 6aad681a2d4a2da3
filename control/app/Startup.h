// The control program's start-up, as a sequence over the few facilities it needs, so the order
// of steps, the debug lines and the messages can be checked without a desktop.
#pragma once

#include <cstdint>
#include <string>

namespace control::app {

// String-table ids the start-up shows or reads.
enum StartupStringId : unsigned {
    IDS_PRODUCT_NAME = 138,     // "HDD Corvane 9": mutex name, window title, message caption
    IDS_NOT_INSTALLED = 202,    // core library or socket layer unusable
    IDS_MBR_RESTART = 247,      // boot record rebuilt: restart now?
};

// Message-box styles and answers used by the start-up.
constexpr unsigned kMbError = 16;   // MB_ICONERROR
constexpr unsigned kMbYesNo = 4;    // MB_YESNO
constexpr int kIdYes = 6;

constexpr uint32_t kStatusMbrRegenerated = 0x10000000;

// What start-up needs from the system. The Windows implementation wraps the real calls; tests
// script the answers and record the order.
class IStartupHost {
public:
    virtual ~IStartupHost() = default;
    virtual bool CheckRunningInstance() = 0;
    virtual void InitCommonControls() = 0;
    virtual void InitFramework() = 0;
    virtual bool StartGdiplus() = 0;
    virtual bool LoadCore() = 0;
    // Reads the status word; false when there is no core object or the call failed.
    virtual bool ReadStatusFlags(uint32_t& flags) = 0;
    // Reads the configuration only to prove the library answers.
    virtual bool ProbeConfig() = 0;
    virtual bool StartSockets() = 0;
    virtual void StopSockets() = 0;
    virtual int ShowMessage(unsigned style, unsigned stringId) = 0;
    virtual void DebugLine(const std::wstring& text) = 0;
    virtual void Restart() = 0;
    virtual void RunMainWindow() = 0;
    virtual void ReleaseCore() = 0;
};

enum class StartupOutcome {
    AnotherInstanceRuns,
    GdiplusFailed,
    SocketLayerFailed,
    CoreUnusable,
    RestartRequested,
    MainWindowClosed,
};

// Runs the start-up steps in order and says how the run ended. The caller always ends the
// process afterwards.
StartupOutcome RunStartup(IStartupHost& host);

}  // namespace control::app
