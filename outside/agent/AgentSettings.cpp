#include "outside/agent/AgentSettings.h"

#include <sstream>

namespace corvane_agent {

namespace {

struct Field {
    const char* name;
    int AgentSettings::*member;
};

const Field kFields[] = {
    {"vdisk_visible", &AgentSettings::vdiskVisible},
    {"block_windows_update", &AgentSettings::blockWindowsUpdate},
    {"storage_blocked", &AgentSettings::storageBlocked},
    {"storage_security", &AgentSettings::storageSecurity},
};

std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return std::string();
    size_t end = s.find_last_not_of(" \t\r");
    return s.substr(begin, end - begin + 1);
}

}  // namespace

std::string FormatAgentSettings(const AgentSettings& settings) {
    std::string text;
    for (const Field& f : kFields) text += std::string(f.name) + "=" + std::to_string(settings.*f.member) + "\r\n";
    return text;
}

AgentSettings ParseAgentSettings(const std::string& text) {
    AgentSettings settings;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string name = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (value != "0" && value != "1") continue;
        for (const Field& f : kFields)
            if (name == f.name) settings.*f.member = value == "1";
    }
    return settings;
}

}  // namespace corvane_agent
