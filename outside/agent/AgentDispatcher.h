// The agent service's answer to one request: checks the bytes, carries out the command on the
// kept settings and builds the reply. No sockets here; the listener hands over what it read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "control/core/AgentProtocol.h"
#include "outside/agent/AgentPolicy.h"
#include "outside/agent/AgentSettings.h"

namespace corvane_agent {

// Results the service puts into its replies. The control program treats anything but 0 from
// a set command as "not done", and reads the result of GetVDiskEnable as "0 = hidden".
constexpr int32_t kAgentDone = 0;
constexpr int32_t kAgentMalformedRequest = -1;  // wrong size, marker or argument field
constexpr int32_t kAgentUnknownCommand = -2;
constexpr int32_t kAgentBadArgument = -3;       // a set command whose argument is not 0 or 1
constexpr int32_t kAgentNotSaved = -4;          // the setting could not be stored; nothing changed

class AgentDispatcher {
public:
    using LogSink = std::function<void(const std::string&)>;

    // With `system`, the storage and Windows Update settings are also carried out on Windows.
    AgentDispatcher(IAgentSettingsStore& store, LogSink log, IAgentSystem* system = nullptr);

    // Reads the stored settings; without any (first run, unreadable file) the defaults stay.
    // Restrictions that were in force are applied again.
    void LoadSettings();

    // The reply to the `size` bytes one client sent. Safe to call from several threads.
    Reply Answer(const uint8_t* data, size_t size);

    AgentSettings Settings() const;

private:
    // `part`: what to carry out once the value is kept (nullptr: nothing, the setting is only kept).
    int32_t Set(int AgentSettings::*member, const char* name, const std::string& argument, const PolicyPart* part);
    void Log(const std::string& line) const;

    IAgentSettingsStore& store_;
    LogSink log_;
    IAgentSystem* system_;
    mutable std::mutex mutex_;
    AgentSettings settings_;
};

}  // namespace corvane_agent
