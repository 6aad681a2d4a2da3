// What the agent service keeps between runs, and the small text file it keeps it in:
// one "name=value" line per setting. Unknown lines are ignored, so older and newer services
// can read each other's files.
#pragma once

#include <string>

namespace corvane_agent {

struct AgentSettings {
    int vdiskVisible = 0;        // the product's virtual drives are hidden until asked otherwise
    int blockWindowsUpdate = 0;
    int storageBlocked = 0;      // 1: removable storage may not be used; 0: read-only
    int storageSecurity = 0;     // 1: the removable-storage policy is in force

    bool operator==(const AgentSettings& o) const {
        return vdiskVisible == o.vdiskVisible && blockWindowsUpdate == o.blockWindowsUpdate &&
               storageBlocked == o.storageBlocked && storageSecurity == o.storageSecurity;
    }
};

std::string FormatAgentSettings(const AgentSettings& settings);

// Reads what it can: each recognised line with the value 0 or 1 replaces that default; any
// other line or value leaves the default. Returns the settings read.
AgentSettings ParseAgentSettings(const std::string& text);

// Where the settings live. Save must replace the whole text or leave the old one intact.
class IAgentSettingsStore {
public:
    virtual ~IAgentSettingsStore() = default;
    // False when there is nothing stored yet or it cannot be read.
    virtual bool Load(std::string& text) = 0;
    virtual bool Save(const std::string& text) = 0;
};

}  // namespace corvane_agent
