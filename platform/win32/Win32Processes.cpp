#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

#include <tlhelp32.h>

namespace platform::win32 {

namespace {
uint32_t LastError() { return static_cast<uint32_t>(::GetLastError()); }
}  // namespace

uint32_t Win32Processes::Launch(const std::wstring& commandLine, int showState, uint32_t waitMs) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return LastError();
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    if (waitMs != 0) ::WaitForSingleObject(process.Get(), waitMs == kWaitInfinite ? INFINITE : waitMs);
    return 0;
}

uint32_t Win32Processes::Snapshot(std::vector<ProcessEntry>& processes, SnapshotStep& failedAt) {
    processes.clear();
    failedAt = SnapshotStep::Snapshot;
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return LastError();
    failedAt = SnapshotStep::FirstEntry;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!::Process32FirstW(snapshot.Get(), &entry)) return LastError();
    do {
        processes.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    } while (::Process32NextW(snapshot.Get(), &entry));
    return 0;
}

uint32_t Win32Processes::Terminate(uint32_t id, uint32_t exitCode, bool wait, TerminateStep& failedAt) {
    failedAt = TerminateStep::Open;
    ScopedHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
    if (!process) return LastError();
    failedAt = TerminateStep::Terminate;
    if (!::TerminateProcess(process.Get(), exitCode)) return LastError();
    if (wait) ::WaitForSingleObject(process.Get(), INFINITE);
    return 0;
}

uint32_t Win32Processes::CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace platform::win32
