// The only ways the installer changes the PC. Each writer that creates something appends the
// uninstall record that undoes it (when asked) and writes one log line; the removers are what the
// record replay uses. Every writer reports success as a boolean and leaves the Windows last-error
// value set through the ports, like the Win32 calls it wraps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/engine/InstallPorts.h"
#include "install/engine/UninstallRecord.h"

namespace install {

constexpr const wchar_t* kAgentServiceName = L"CorvaneAgent";
constexpr const wchar_t* kAgentServiceDisplayName = L"CorvaneAgentService";
constexpr const wchar_t* kAgentServiceDescription = L"Talvoric HDD Corvane";
constexpr int kShowNormal = 1;
constexpr int kShowDefault = 5;  // SW_SHOW, what the installer passes for programs it runs

// Predefined root and key path of a registry record text ("80000002\\SOFTWARE\\..."). False
// when the text has no backslash or does not start with a predefined root.
bool ParseRegistryRecordText(const std::wstring& text, platform::RegRoot& root, std::wstring& rest);

class InstallWriters {
public:
    InstallWriters(InstallPorts& ports, UninstallRecordList& records) : ports_(ports), records_(records) {}

    // Folders, one record per folder created (kind 15 with `wide`, else 0).
    bool CreateFolderTree(const std::wstring& path, bool wide);
    // `relativePath` starts with a backslash and is taken from `source` to the same place under
    // `destination`.
    bool CopyPackageFile(const std::wstring& relativePath, const std::wstring& source,
                         const std::wstring& destination, bool wide, bool record);
    // Every file below `source`; errors are skipped so one bad file does not stop the rest.
    void CopyPackageTree(const std::wstring& source, const std::wstring& destination, bool wide, bool record);

    // Registry. `wide` selects the 64-bit view when the installer runs under WOW64.
    bool CreateRegistryKey(platform::RegRoot root, const std::wstring& path, bool record, bool wide);
    bool SetRegistryValue(const std::wstring& name, const std::wstring& key, const std::vector<uint8_t>& data,
                          uint32_t type, platform::RegRoot root, bool wide, bool record);
    bool SetRegistryString(const std::wstring& name, const std::wstring& key, const std::wstring& text,
                           platform::RegRoot root, bool wide);
    bool SetRegistryDword(const std::wstring& name, const std::wstring& key, uint32_t value, bool record);
    bool DeleteRegistryKey(const std::wstring& recordText, bool wide);
    bool DeleteRegistryValue(const std::wstring& recordText, bool wide);

    // Shell link; the result is the HRESULT of the save.
    int32_t CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                           const std::wstring& description, const std::wstring& workingFolder,
                           const std::wstring& iconFile);

    // Services.
    bool CreateAgentService(const std::wstring& executablePath);
    bool DeleteServiceByName(const std::wstring& name);
    bool StartServiceByName(const std::wstring& name);
    bool AgentServiceExists();

    // Processes and privileges. `program` may be empty: then `arguments` is the whole command
    // line. `timeLimitMs` is platform::kWaitInfinite for no limit.
    bool RunProgram(const std::wstring& arguments, const std::wstring& program, int showState, uint32_t timeLimitMs);
    uint32_t FindProcessId(const std::wstring& exeName);
    bool KillProcessTree(const std::wstring& exeName);
    bool EnablePrivilege(const std::wstring& name);

    bool IsWow64() { return ports_.files.IsWow64(); }
    // Redirection off for this thread until RevertRedirection; nothing happens where there is
    // none (a plain 32-bit Windows). Prefer platform::RedirectionOff for a scope.
    bool DisableRedirection() { return ports_.files.IsWow64() && ports_.files.DisableRedirection(); }
    void RevertRedirection() { ports_.files.RevertRedirection(); }
    bool FileExists(const std::wstring& pathOrPattern);
    std::wstring InstallerFolder();

    void Append(uint8_t kind, const std::wstring& text) { records_.push_back({kind, text}); }
    InstallPorts& Ports() { return ports_; }

private:
    bool Fail(uint32_t error);
    bool View64(bool wide) { return wide && ports_.files.IsWow64(); }

    InstallPorts& ports_;
    UninstallRecordList& records_;
};

}  // namespace install
