#include "install/engine/RecordReplay.h"

#include <cwchar>

namespace install {

using namespace platform;

namespace {

constexpr size_t kMessageBufferChars = 256;

// A path that is already gone needs neither a removal nor a restart.
bool AlreadyGone(uint32_t error) { return error == kErrorFileNotFound || error == kErrorPathNotFound; }

bool RemoveFolderRecord(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context) {
    InstallPorts& ports = writers.Ports();
    ports.log.Write(L"Removing directory - %ls\n", record.text.c_str());
    RedirectionOff off(ports.files, record.kind == kRecordFolderNoRedirect);
    uint32_t error = 0;
    if (!context.linkEx) {
        error = ports.files.RemoveFolder(record.text);
        if (error == 0 || AlreadyGone(error)) return true;
    }
    uint32_t delayed = ports.files.DeleteAtReboot(record.text);
    ports.errors.SetLast(delayed != 0 ? delayed : error);
    return delayed == 0;
}

bool RemoveFileRecord(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context) {
    InstallPorts& ports = writers.Ports();
    ports.log.Write(L"Deleting file - %ls\n", record.text.c_str());
    RedirectionOff off(ports.files, record.kind == kRecordFileNoRedirect);
    uint32_t error = 0;
    if (!context.linkEx) {
        error = ports.files.RemoveFile(record.text);
        if (error == 0 || AlreadyGone(error)) return true;
    }
    uint32_t delayed = ports.files.DeleteAtReboot(record.text);
    ports.errors.SetLast(delayed != 0 ? delayed : error);
    // A program file that stays until the restart means the product is not gone before it.
    if (context.reboot && *context.reboot == 0 && !context.installFolder.empty() &&
        record.text.find(context.installFolder) != std::wstring::npos) {
        *context.reboot = 1;
    }
    return delayed == 0;
}

bool RemoveProductFlag(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context) {
    InstallPorts& ports = writers.Ports();
    uint32_t bit = static_cast<uint32_t>(std::wcstoul(record.text.c_str(), nullptr, 16));
    ports.log.Write(L"Remove product flag - 0x%08X\n", bit);
    uint32_t mask = context.installedProducts ? context.installedProducts() : 0;

    const std::wstring profile = kApplicationProfileKey;
    ports.registry.DeleteTree(kHkeyCurrentUser, profile + L"\\" + kProductKeyName, false);
    bool hasSubkeys = true;
    if (ports.registry.HasSubkeys(kHkeyCurrentUser, profile, false, hasSubkeys) == 0 && !hasSubkeys)
        ports.registry.DeleteKey(kHkeyCurrentUser, profile, false);

    const std::wstring productKey = std::wstring(L"Software\\Talvoric\\Install\\") + kProductKeyName;
    if (!writers.CreateRegistryKey(kHkeyLocalMachine, productKey, false, false)) return false;
    return writers.SetRegistryValue(L"ProductType", productKey, RegDwordBytes(mask & ~bit), kRegDword,
                                    kHkeyLocalMachine, false, false);
}

bool UninstallNetworkFilter(InstallWriters& writers, ReplayContext& context) {
    InstallPorts& ports = writers.Ports();
    uint32_t error = 0;
    NetworkFilterResult result =
        context.uninstallNetworkFilter ? context.uninstallNetworkFilter(error) : NetworkFilterResult::NoModule;
    switch (result) {
    case NetworkFilterResult::Done:
        return true;
    case NetworkFilterResult::NoExport:
        ports.log.Write(L"Failed to get procedure address in UninstallNetworkFilter : %d\n", static_cast<int>(error));
        ports.errors.SetLast(error);
        return false;
    case NetworkFilterResult::NoModule:
        ports.errors.SetLast(kErrorModNotFound);
        return false;
    case NetworkFilterResult::Failed:
        return false;
    }
    return false;
}

bool Perform(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context, std::wstring& message) {
    InstallPorts& ports = writers.Ports();
    switch (record.kind) {
    case kRecordFolder:
    case kRecordFolderNoRedirect:
        return RemoveFolderRecord(record, writers, context);
    case kRecordFile:
    case kRecordFileNoRedirect:
        return RemoveFileRecord(record, writers, context);
    case kRecordVirtualDisk:
        if (context.uninstallMode) return true;
        ports.log.Write(L"Uninstalling virtual disk\n");
        return true;
    case kRecordCore:
        if (context.uninstallMode) return true;
        ports.log.Write(L"Uninstalling corvane\n");
        if (!context.uninstallCorvane) {
            ports.errors.SetLast(kErrorModNotFound);
            return false;
        }
        return context.uninstallCorvane(message);
    case kRecordService:
        ports.log.Write(L"Uninstalling service - %ls\n", record.text.c_str());
        return writers.DeleteServiceByName(record.text);
    case kRecordFirewall:
        ports.log.Write(L"Removing firewall - %ls\n", record.text.c_str());
        if (!context.firewallRemoveApp) {
            ports.errors.SetLast(kErrorModNotFound);
            return false;
        }
        return context.firewallRemoveApp(record.text);
    case kRecordExecute:
        ports.log.Write(L"Executing application - %ls\n", record.text.c_str());
        return writers.RunProgram(record.text, L"", kShowDefault, kWaitInfinite);
    case kRecordProfileSection: {
        ports.log.Write(L"Removing registry section - %ls\n", record.text.c_str());
        // An empty name would be the whole profile, not a section of it.
        if (record.text.empty()) {
            ports.errors.SetLast(kErrorInvalidParameter);
            return false;
        }
        uint32_t error = ports.registry.DeleteTree(
            kHkeyCurrentUser, std::wstring(kApplicationProfileKey) + L"\\" + record.text, false);
        ports.errors.SetLast(error);
        return error == 0;
    }
    case kRecordRegistryKey:
    case kRecordRegistryKey64:
        ports.log.Write(L"Deleting registry key - %ls\n", record.text.c_str());
        return writers.DeleteRegistryKey(record.text, record.kind == kRecordRegistryKey64);
    case kRecordRegistryValue:
    case kRecordRegistryValue64:
        ports.log.Write(L"Deleting registry value - %ls\n", record.text.c_str());
        return writers.DeleteRegistryValue(record.text, record.kind == kRecordRegistryValue64);
    case kRecordNone:
        return true;
    case kRecordProductFlag:
        return RemoveProductFlag(record, writers, context);
    case kRecordDriveList:
        ports.log.Write(L"Calling NoDrivesUpdate\n");
        if (context.noDrivesUpdate) context.noDrivesUpdate();
        return true;
    case kRecordNetworkFilter:
        return UninstallNetworkFilter(writers, context);
    default:
        // Written by a later version: this one does not know how to undo it, so it touches
        // nothing and says so in the log that support reads.
        ports.log.Write(L"Unknown record kind %u - %ls\n", static_cast<unsigned>(record.kind), record.text.c_str());
        ports.errors.SetLast(kErrorInvalidParameter);
        return false;
    }
}

}  // namespace

bool ReplayRecord(const UninstallRecord& record, InstallWriters& writers, ReplayContext& context) {
    InstallPorts& ports = writers.Ports();
    std::wstring message;
    if (Perform(record, writers, context, message)) return true;

    uint32_t error = ports.errors.Last();
    if (message.empty()) message = ports.errors.Text(error);
    if (message.size() > kMessageBufferChars - 1) message.resize(kMessageBufferChars - 1);
    if (message.empty() || message.back() != L'\n') message += L"\n";
    ports.log.Write(L"%ls", message.c_str());
    if (!context.uninstallMode && context.logDiscard) *context.logDiscard = 0;
    ports.errors.SetLast(error);
    return false;
}

void Rollback(UninstallRecordList& records, InstallWriters& writers, ReplayContext& context) {
    // Taken out first: the list is emptied even if a replay step appends to the same list.
    UninstallRecordList pending;
    pending.swap(records);
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) ReplayRecord(*it, writers, context);
}

void ReplayInOrder(const UninstallRecordList& records, InstallWriters& writers, ReplayContext& context) {
    for (const auto& record : records) ReplayRecord(record, writers, context);
}

}  // namespace install
