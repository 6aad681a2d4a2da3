// The agent's hands on Windows: service start types through the service manager and the
// removable-storage write protection in the registry.
#pragma once

#include "outside/agent/AgentPolicy.h"

namespace corvane_agent {

class Win32AgentSystem : public IAgentSystem {
public:
    uint32_t SetServiceStart(const std::wstring& service, uint32_t start) override;
    uint32_t StopService(const std::wstring& service) override;
    uint32_t SetStorageWriteProtect(uint32_t value) override;
};

}  // namespace corvane_agent
