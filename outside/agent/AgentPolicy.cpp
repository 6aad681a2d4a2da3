#include "outside/agent/AgentPolicy.h"

namespace corvane_agent {

namespace {

const wchar_t kUsbStorageService[] = L"USBSTOR";
const wchar_t kWindowsUpdateService[] = L"wuauserv";

std::string Outcome(uint32_t error) { return error == 0 ? "done" : "failed, error " + std::to_string(error); }

}  // namespace

SystemPolicy PolicyFor(const AgentSettings& s) {
    SystemPolicy p{};
    const bool security = s.storageSecurity != 0;
    p.usbStorageStart = security && s.storageBlocked != 0 ? kStartDisabled : kStartDemand;
    p.storageWriteProtect = security && s.storageBlocked == 0 ? 1 : 0;
    p.windowsUpdateStart = s.blockWindowsUpdate != 0 ? kStartDisabled : kStartDemand;
    p.stopWindowsUpdate = s.blockWindowsUpdate != 0;
    return p;
}

bool PolicyRestrictsAnything(const AgentSettings& s) { return s.storageSecurity != 0 || s.blockWindowsUpdate != 0; }

void ApplyPolicy(const AgentSettings& settings, PolicyPart part, IAgentSystem& system,
                 const std::function<void(const std::string&)>& log) {
    const SystemPolicy p = PolicyFor(settings);
    auto say = [&log](const std::string& line) {
        if (log) log(line);
    };
    if (part == PolicyPart::Storage || part == PolicyPart::All) {
        say(std::string("USBSTOR start type ") + std::to_string(p.usbStorageStart) + ": " +
            Outcome(system.SetServiceStart(kUsbStorageService, p.usbStorageStart)));
        say(std::string("storage write protection ") + std::to_string(p.storageWriteProtect) + ": " +
            Outcome(system.SetStorageWriteProtect(p.storageWriteProtect)));
    }
    if (part == PolicyPart::WindowsUpdate || part == PolicyPart::All) {
        say(std::string("wuauserv start type ") + std::to_string(p.windowsUpdateStart) + ": " +
            Outcome(system.SetServiceStart(kWindowsUpdateService, p.windowsUpdateStart)));
        if (p.stopWindowsUpdate) say(std::string("wuauserv stop: ") + Outcome(system.StopService(kWindowsUpdateService)));
    }
}

}  // namespace corvane_agent
