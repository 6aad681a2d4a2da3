// In-memory models of the Windows facilities the installer uses, for native tests: a registry
// with both WOW64 views, a file tree with Windows paths and WOW64 redirection of the system
// folder, a service table, a process list with recorded launches, token privileges, shell links
// and the thread's last error. Every call first asks the shared FaultInjector, so a test can make
// any call fail with a chosen Windows error. Snapshot() renders the whole machine state as text
// so a test can check that an undo left it exactly as it was.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/ports/Errors.h"
#include "platform/ports/Files.h"
#include "platform/ports/Privileges.h"
#include "platform/ports/Processes.h"
#include "platform/ports/Registry.h"
#include "platform/ports/Services.h"
#include "platform/ports/Shell.h"

namespace platform::memory {

// Case-insensitive key for names Windows compares without regard to case.
std::wstring FoldCase(const std::wstring& text);

// Shared by the models: whether the modelled process is a 32-bit one on 64-bit Windows.
struct MachineTraits {
    bool wow64 = true;
};

class MemoryRegistry : public IRegistry {
public:
    MemoryRegistry(FaultInjector& faults, const MachineTraits& machine) : faults_(faults), machine_(machine) {}

    uint32_t CreateKey(RegRoot root, const std::wstring& path, bool view64, bool& created) override;
    uint32_t OpenKey(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t DeleteKey(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t DeleteTree(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t HasSubkeys(RegRoot root, const std::wstring& path, bool view64, bool& has) override;
    uint32_t SetValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                      uint32_t type, const std::vector<uint8_t>& data) override;
    uint32_t QueryValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                        uint32_t& type, std::vector<uint8_t>& data) override;
    uint32_t DeleteValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name) override;

    // Set-up and inspection without fault checks. Paths are physical: the 32-bit view of
    // HKLM\SOFTWARE\X is HKLM\SOFTWARE\Wow6432Node\X.
    void Put(RegRoot root, const std::wstring& physicalPath);
    void PutValue(RegRoot root, const std::wstring& physicalPath, const std::wstring& name, uint32_t type,
                  const std::vector<uint8_t>& data);
    bool Has(RegRoot root, const std::wstring& physicalPath) const;
    bool HasValue(RegRoot root, const std::wstring& physicalPath, const std::wstring& name) const;
    std::wstring Dump() const;

private:
    struct Value {
        std::wstring name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::wstring name;
        std::map<std::wstring, Key> subkeys;   // by folded name
        std::map<std::wstring, Value> values;  // by folded name
    };
    std::vector<std::wstring> Physical(RegRoot root, const std::wstring& path, bool view64) const;
    Key* Find(RegRoot root, const std::vector<std::wstring>& parts);
    const Key* Find(RegRoot root, const std::vector<std::wstring>& parts) const;
    Key& Make(RegRoot root, const std::vector<std::wstring>& parts, bool& created);
    static void DumpKey(const Key& key, const std::wstring& path, std::wstring& out);

    FaultInjector& faults_;
    const MachineTraits& machine_;
    std::map<RegRoot, Key> roots_;
};

class MemoryFiles : public IFiles {
public:
    MemoryFiles(FaultInjector& faults, const MachineTraits& machine);

    uint32_t CreateFolder(const std::wstring& path) override;
    uint32_t RemoveFolder(const std::wstring& path) override;
    uint32_t RemoveFile(const std::wstring& path) override;
    uint32_t CopyFileOver(const std::wstring& source, const std::wstring& target) override;
    uint32_t DeleteAtReboot(const std::wstring& path) override;
    uint32_t Find(const std::wstring& pattern, std::vector<FindEntry>& entries) override;
    uint32_t ReadAll(const std::wstring& path, std::vector<uint8_t>& bytes) override;
    uint32_t CreateNew(const std::wstring& path, const std::vector<uint8_t>& bytes) override;
    uint32_t Append(const std::wstring& path, const std::vector<uint8_t>& bytes) override;
    bool IsWow64() override { return machine_.wow64; }
    bool DisableRedirection() override;
    void RevertRedirection() override;
    std::wstring ExecutablePath() override { return executablePath; }

    // Set-up and inspection without fault checks or redirection: paths are physical.
    void PutFolder(const std::wstring& path);  // with its parents
    void PutFile(const std::wstring& path, const std::vector<uint8_t>& bytes = {});
    bool HasFolder(const std::wstring& path) const;
    bool HasFile(const std::wstring& path) const;
    std::vector<uint8_t> Contents(const std::wstring& path) const;
    // A locked file cannot be deleted (sharing violation), like a program that is running.
    void Lock(const std::wstring& path) { locked_.insert(FoldCase(path)); }
    bool RedirectionDisabled() const { return !redirection_; }
    std::wstring Dump() const;

    std::wstring executablePath = L"C:\\Users\\Admin\\Temp\\Install.exe";
    // Paths handed to DeleteAtReboot, in order, as Windows would list them for the next start.
    std::vector<std::wstring> pendingDeletes;

private:
    struct Node {
        std::wstring path;  // as first spelled
        bool folder = false;
        std::vector<uint8_t> bytes;
    };
    std::wstring Resolve(const std::wstring& path) const;  // redirection and normalisation
    bool ParentExists(const std::wstring& key) const;
    const Node* Get(const std::wstring& key) const;

    FaultInjector& faults_;
    const MachineTraits& machine_;
    bool redirection_ = true;
    std::map<std::wstring, Node> nodes_;  // by folded, normalised path
    std::set<std::wstring> locked_;
};

class MemoryServices : public IServices {
public:
    explicit MemoryServices(FaultInjector& faults) : faults_(faults) {}
    uint32_t Create(const ServiceSpec& spec) override;
    uint32_t SetDescription(const std::wstring& name, const std::wstring& description) override;
    uint32_t Open(const std::wstring& name) override;
    uint32_t Delete(const std::wstring& name) override;
    uint32_t Start(const std::wstring& name) override;

    struct Service {
        ServiceSpec spec;
        std::wstring description;
        bool running = false;
    };
    const Service* Get(const std::wstring& name) const;
    void Put(const ServiceSpec& spec) { table_[FoldCase(spec.name)] = {spec, L"", false}; }
    std::wstring Dump() const;

private:
    FaultInjector& faults_;
    std::map<std::wstring, Service> table_;
};

class MemoryProcesses : public IProcesses {
public:
    explicit MemoryProcesses(FaultInjector& faults) : faults_(faults) {}
    uint32_t Launch(const std::wstring& commandLine, int showState, uint32_t waitMs) override;
    uint32_t Snapshot(std::vector<ProcessEntry>& processes, SnapshotStep& failedAt) override;
    uint32_t Terminate(uint32_t id, uint32_t exitCode, bool wait, TerminateStep& failedAt) override;
    uint32_t CurrentProcessId() override { return selfId; }

    struct Launched {
        std::wstring commandLine;
        int showState = 0;
        uint32_t waitMs = 0;
    };
    std::vector<Launched> launched;
    std::vector<ProcessEntry> running;
    std::vector<uint32_t> terminated;
    uint32_t selfId = 100;

private:
    FaultInjector& faults_;
};

class MemoryPrivileges : public IPrivileges {
public:
    explicit MemoryPrivileges(FaultInjector& faults) : faults_(faults) {}
    uint32_t Enable(const std::wstring& name, PrivilegeStep& failedAt) override;
    std::set<std::wstring> enabled;

private:
    FaultInjector& faults_;
};

class MemoryShell : public IShell {
public:
    MemoryShell(FaultInjector& faults, MemoryFiles& files) : faults_(faults), files_(files) {}
    int32_t CreateShortcut(const ShortcutSpec& spec) override;
    uint32_t FolderPath(int csidl, std::wstring& path) override;

    // Saved links by folded path; the link file itself lives in the file tree.
    std::map<std::wstring, ShortcutSpec> links;
    std::map<int, std::wstring> folders = {
        {kCsidlProgramFiles, L"C:\\Program Files (x86)"},
        {kCsidlCommonPrograms, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
        {kCsidlCommonDesktop, L"C:\\Users\\Public\\Desktop"},
        {kCsidlPrograms, L"C:\\Users\\Admin\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
        {kCsidlDesktopDirectory, L"C:\\Users\\Admin\\Desktop"},
        {kCsidlSystem, L"C:\\Windows\\system32"},
        {kCsidlWindows, L"C:\\Windows"},
    };

private:
    FaultInjector& faults_;
    MemoryFiles& files_;
};

class MemoryErrors : public ISystemErrors {
public:
    uint32_t Last() override;
    void SetLast(uint32_t error) override;
    std::wstring Text(uint32_t error) override;
};

// The whole modelled machine.
class MemoryPlatform {
public:
    MemoryPlatform();

    // Everything a rollback must restore: registry, files, services and delayed deletes.
    std::wstring Snapshot() const;

    FaultInjector faults;
    MachineTraits machine;
    MemoryRegistry registry;
    MemoryFiles files;
    MemoryServices services;
    MemoryProcesses processes;
    MemoryPrivileges privileges;
    MemoryShell shell;
    MemoryErrors errors;
};

}  // namespace platform::memory
