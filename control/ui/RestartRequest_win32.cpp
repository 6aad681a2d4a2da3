#include "control/ui/RestartRequest.h"

#include <windows.h>

#include "control/app/AppUtil.h"

namespace control::ui {

namespace {

class CSystemRestartPort : public IRestartPort {
public:
    void RequestSystemExit(bool restart) override {
        control::app::EnableShutdownPrivilege();
        UINT how = restart ? EWX_REBOOT : EWX_POWEROFF;
        BOOL ok = ::ExitWindowsEx(how, 0);
        // Not shown to the user: the countdown closes and the program goes on either way.
        control::app::DebugPrint(L"Corvane ExitWindowsEx(%ls) = %d (%lu)\n", restart ? L"reboot" : L"poweroff",
                                 ok ? 1 : 0, ok ? 0ul : ::GetLastError());
    }
};

}  // namespace

IRestartPort& SystemRestartPort() {
    static CSystemRestartPort port;
    return port;
}

}  // namespace control::ui
