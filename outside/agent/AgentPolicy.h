// What the kept settings mean for Windows, and the port through which the agent applies it.
// Lifting a block puts back Windows' own defaults (USB storage driver and Windows Update on
// demand start, no write protection).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "outside/agent/AgentSettings.h"

namespace corvane_agent {

// Service start types, as the service manager numbers them.
constexpr uint32_t kStartDemand = 3;
constexpr uint32_t kStartDisabled = 4;

struct SystemPolicy {
    uint32_t usbStorageStart;      // the "USBSTOR" driver: disabled when removable storage is forbidden
    uint32_t storageWriteProtect;  // StorageDevicePolicies\WriteProtect: 1 for read-only storage
    uint32_t windowsUpdateStart;   // the "wuauserv" service
    bool stopWindowsUpdate;

    bool operator==(const SystemPolicy& o) const {
        return usbStorageStart == o.usbStorageStart && storageWriteProtect == o.storageWriteProtect &&
               windowsUpdateStart == o.windowsUpdateStart && stopWindowsUpdate == o.stopWindowsUpdate;
    }
};

SystemPolicy PolicyFor(const AgentSettings& settings);

// True when a setting asks for something beyond Windows' defaults. At start the agent applies
// the policy only then, so an untouched product never overrides what the administrator of the
// PC set up by other means.
bool PolicyRestrictsAnything(const AgentSettings& settings);

class IAgentSystem {
public:
    virtual ~IAgentSystem() = default;
    // Each returns 0 on success, else the Windows error (a missing service gives its error too).
    virtual uint32_t SetServiceStart(const std::wstring& service, uint32_t start) = 0;
    virtual uint32_t StopService(const std::wstring& service) = 0;
    virtual uint32_t SetStorageWriteProtect(uint32_t value) = 0;
};

// Applies the storage part, the update part or both; every step and its outcome is logged.
enum class PolicyPart { Storage, WindowsUpdate, All };
void ApplyPolicy(const AgentSettings& settings, PolicyPart part, IAgentSystem& system,
                 const std::function<void(const std::string&)>& log);

}  // namespace corvane_agent
