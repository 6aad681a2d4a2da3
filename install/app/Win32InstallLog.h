// The installer's log and debug pipe on Windows: the process-wide pipe behind DebugPipeWrite and
// the application's log with its Windows file and folders.
#pragma once

#include <string>

#include "install/app/InstallLog.h"
#include "platform/win32/Win32SystemFacts.h"

namespace install {

// DebugPipeWrite: one text to "\\.\pipe\VESKA_DEBUG_PIPE", from any thread.
void DebugPipeWrite(const std::wstring& text);
DebugPipe& ProcessDebugPipe();

// The log of one installer run: opened on construction, closed (deleted or kept) on destruction.
class ApplicationLog {
public:
    ApplicationLog() { log_.Open(); }
    InstallLog& Log() { return log_; }

private:
    platform::win32::Win32LogFile file_;
    platform::win32::Win32SystemFacts facts_;
    InstallLog log_{file_, facts_, &ProcessDebugPipe()};
};

}  // namespace install
