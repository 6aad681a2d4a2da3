// A modelled machine with the installer engine on top, shared by the engine tests.
#pragma once

#include <string>
#include <vector>

#include "install/engine/InstallWriters.h"
#include "install/engine/RecordReplay.h"
#include "platform/memory/MemoryLog.h"
#include "platform/memory/MemoryPlatform.h"

namespace install::testing {

struct Machine {
    platform::memory::MemoryPlatform pc;
    platform::memory::MemoryLog log;
    UninstallRecordList records;
    InstallPorts ports{pc.registry, pc.services, pc.files, pc.processes, pc.shell, pc.privileges, pc.errors, log};
    InstallWriters writers{ports, records};
    int reboot = 0;
    int logDiscard = 1;
    ReplayContext context = MakeContext();

    ReplayContext MakeContext() {
        ReplayContext c;
        c.installFolder = L"C:\\Program Files (x86)\\Talvoric\\HDD Corvane 9";
        c.reboot = &reboot;
        c.logDiscard = &logDiscard;
        return c;
    }

    // Lines from `from` on, for checking what one step logged.
    std::vector<std::wstring> LinesSince(size_t from) const {
        return {log.lines.begin() + static_cast<long>(from), log.lines.end()};
    }
};

}  // namespace install::testing
