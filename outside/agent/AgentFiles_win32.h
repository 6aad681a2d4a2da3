// The service's files beside its executable: the settings file and the log.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "outside/agent/AgentSettings.h"

namespace corvane_agent {

// The folder of the running executable, with a trailing backslash.
std::wstring ExecutableFolder();

// Settings in one small file, replaced as a whole: the new text goes to a side file first and
// is then moved over the old one, so a failure never leaves half a file.
class FileSettingsStore : public IAgentSettingsStore {
public:
    explicit FileSettingsStore(std::wstring path) : path_(std::move(path)) {}
    bool Load(std::string& text) override;
    bool Save(const std::string& text) override;

private:
    std::wstring path_;
};

// Appends time-stamped lines; one writer at a time. The file is started afresh (the old one
// kept as "<name>.old") when it grows past a megabyte, so a chatty client cannot fill the disk.
class FileLog {
public:
    explicit FileLog(std::wstring path) : path_(std::move(path)) {}
    void Write(const std::string& line);
    // Lines also go to the console when the service runs as a console program.
    void EchoToConsole(bool on) { echo_ = on; }

private:
    std::mutex mutex_;
    std::wstring path_;
    bool echo_ = false;
};

}  // namespace corvane_agent
