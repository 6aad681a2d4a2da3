// The Winsock transport of the agent client, for the program and the test tools.
#pragma once

#include "control/core/AgentCtrl.h"

// One stateless object for the process; WSAStartup must have been called.
IAgentTransport& WinsockAgentTransport();
