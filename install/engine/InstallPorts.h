// The platform facilities the installer engine works through, passed as one bundle so a
// sequence can be run against the real Windows adapters or the in-memory platform alike.
#pragma once

#include "platform/ports/Errors.h"
#include "platform/ports/Files.h"
#include "platform/ports/Log.h"
#include "platform/ports/Privileges.h"
#include "platform/ports/Processes.h"
#include "platform/ports/Registry.h"
#include "platform/ports/Services.h"
#include "platform/ports/Shell.h"

namespace install {

struct InstallPorts {
    platform::IRegistry& registry;
    platform::IServices& services;
    platform::IFiles& files;
    platform::IProcesses& processes;
    platform::IShell& shell;
    platform::IPrivileges& privileges;
    platform::ISystemErrors& errors;
    platform::ILog& log;
};

}  // namespace install
