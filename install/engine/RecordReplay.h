// Replay of uninstall records: the single place where the installer's changes are undone, used
// by the uninstall sequence (records from the file), the update and the rollback of a failed
// install (records from the list, newest first).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "install/engine/InstallWriters.h"
#include "install/engine/UninstallRecord.h"

namespace install {

enum class NetworkFilterResult { NoModule, NoExport, Done, Failed };

// What the replay needs from the application and the helper library. The application passes
// its own members (m_bReboot and the log's m_bDiscard by reference) and wires the hooks to the
// helper library; a hook left empty counts as a library that is not there.
struct ReplayContext {
    bool uninstallMode = false;      // the product was already installed when the run started
    int linkEx = 0;                  // m_nLinkEx: removals are left to the next start of Windows
    std::wstring installFolder;      // files inside it that wait for a restart ask for one
    int* reboot = nullptr;           // m_bReboot
    int* logDiscard = nullptr;       // InstallLog::m_bDiscard

    // Kind 3: UninstallCorvane with the message buffer; returns whether it was done.
    std::function<bool(std::wstring& message)> uninstallCorvane;
    // Kind 5.
    std::function<bool(const std::wstring& text)> firewallRemoveApp;
    // Kind 12; its result does not matter.
    std::function<void()> noDrivesUpdate;
    // Kind 17: IGR_UninstallDriver of cvNetFilter.dll; `error` is the system error when the
    // export is missing.
    std::function<NetworkFilterResult(uint32_t& error)> uninstallNetworkFilter;
    // Kind 11: the installed-product mask (GetInstalledProducts).
    std::function<uint32_t()> installedProducts;
};

constexpr const wchar_t* kProductKeyName = L"HDD Corvane 9";

// Undoes one record; whether it was done. A record that was not done is explained in the log;
// callers go on with the next record either way.
bool ReplayRecord(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context);

// Replays the list newest first and empties it.
void Rollback(UninstallRecordList& records, InstallWriters& writers, ReplayContext& context);

// Replays records in the order given (the record file already holds them newest first).
void ReplayInOrder(const UninstallRecordList& records, InstallWriters& writers, ReplayContext& context);

}  // namespace install
