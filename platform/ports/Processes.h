// Processes as the installer engine sees them: launching a command line, the tool-help process
// list, and ending a process. Results are Windows error codes, 0 on success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t kWaitInfinite = 0xFFFFFFFFu;

struct ProcessEntry {
    uint32_t id = 0;
    uint32_t parentId = 0;
    std::wstring exeName;
};

enum class SnapshotStep { Snapshot, FirstEntry };
enum class TerminateStep { Open, Terminate };

class IProcesses {
public:
    virtual ~IProcesses() = default;
    // CreateProcessW with the whole command line, no inherited handles, default environment and
    // folder, STARTF_USESHOWWINDOW with `showState`; then waits up to `waitMs` (kWaitInfinite
    // for no limit, 0 for none). The process and thread handles are always closed afterwards.
    virtual uint32_t Launch(const std::wstring& commandLine, int showState, uint32_t waitMs) = 0;
    // On failure `failedAt` tells whether taking the snapshot or reading its first entry failed.
    virtual uint32_t Snapshot(std::vector<ProcessEntry>& processes, SnapshotStep& failedAt) = 0;
    // Opens the process with all access and terminates it; `wait` waits until it has ended.
    virtual uint32_t Terminate(uint32_t id, uint32_t exitCode, bool wait, TerminateStep& failedAt) = 0;
    virtual uint32_t CurrentProcessId() = 0;
};

}  // namespace platform
