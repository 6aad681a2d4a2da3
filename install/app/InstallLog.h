// The install log: every step of the installer writes a line here. The file lives in the
// temporary folder while the program runs; after a clean run it is deleted, after a failure it
// is moved to the root of the system drive where support staff look for it. Every line also
// goes to the debug pipe. Callable from the main thread and the worker at once.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "install/app/DebugPipe.h"
#include "platform/ports/Log.h"
#include "platform/ports/LogOutput.h"
#include "platform/ports/SystemFacts.h"

namespace install {

inline constexpr wchar_t kInstallLogFileName[] = L"Talvoric_Install.log";

// The file form of a text: UTF-8, each line feed written as CR LF (a CR LF already there stays).
std::string LogFileBytes(const std::wstring& text);

class InstallLog : public platform::ILog {
public:
    // `pipe` may be null where no debug channel is wanted.
    InstallLog(platform::ILogFile& file, platform::ISystemFacts& facts, DebugPipe* pipe)
        : file_(file), facts_(facts), pipe_(pipe) {}
    ~InstallLog() override { Close(); }
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;

    // Creates the temporary log and writes "logging start".
    void Open();
    // One text to the pipe (up to its last line feed) and to the file, as one unit.
    void WriteText(const std::wstring& text) override;
    // Closes the file, then deletes it or moves it to the system drive's root.
    void Close();

    // Marks the run as failed: the log is kept. Never set back.
    void Keep() { m_bDiscard = 0; }
    const std::wstring& Path() const { return path_; }
    // Where a kept log ends up; empty when the system folder has no backslash.
    std::wstring KeptPath();

    std::atomic<int> m_bDiscard{1};

private:
    platform::ILogFile& file_;
    platform::ISystemFacts& facts_;
    DebugPipe* pipe_;
    std::mutex lock_;
    std::wstring path_;
    bool open_ = false;
    bool closed_ = false;
};

}  // namespace install
