// The program's agent client: Winsock, and debug lines through DebugPrint like every other
// line of the program.
#include "control/app/AppUtil.h"
#include "control/core/AgentCtrl.h"
#include "control/core/AgentTransport_win32.h"

CAgentCtrl& TheAgentCtrl() {
    static CAgentCtrl client(WinsockAgentTransport(),
                             [](const std::wstring& line) { control::app::DebugPrint(L"%ls", line.c_str()); });
    return client;
}
