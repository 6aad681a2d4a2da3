// The real Windows implementations of the installer's ports. Thin: each call translates to the
// Win32 API, owns its handles for the length of the call and returns the Windows error code.
#pragma once

#include "platform/ports/Errors.h"
#include "platform/ports/Files.h"
#include "platform/ports/Privileges.h"
#include "platform/ports/Processes.h"
#include "platform/ports/Registry.h"
#include "platform/ports/Services.h"
#include "platform/ports/Shell.h"

namespace platform::win32 {

class Win32Registry : public IRegistry {
public:
    uint32_t CreateKey(RegRoot root, const std::wstring& path, bool view64, bool& created) override;
    uint32_t OpenKey(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t DeleteKey(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t DeleteTree(RegRoot root, const std::wstring& path, bool view64) override;
    uint32_t HasSubkeys(RegRoot root, const std::wstring& path, bool view64, bool& has) override;
    uint32_t SetValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name, uint32_t type,
                      const std::vector<uint8_t>& data) override;
    uint32_t QueryValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name, uint32_t& type,
                        std::vector<uint8_t>& data) override;
    uint32_t DeleteValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name) override;
};

class Win32Files : public IFiles {
public:
    uint32_t CreateFolder(const std::wstring& path) override;
    uint32_t RemoveFolder(const std::wstring& path) override;
    uint32_t RemoveFile(const std::wstring& path) override;
    uint32_t CopyFileOver(const std::wstring& source, const std::wstring& target) override;
    uint32_t DeleteAtReboot(const std::wstring& path) override;
    uint32_t Find(const std::wstring& pattern, std::vector<FindEntry>& entries) override;
    uint32_t ReadAll(const std::wstring& path, std::vector<uint8_t>& bytes) override;
    uint32_t CreateNew(const std::wstring& path, const std::vector<uint8_t>& bytes) override;
    uint32_t Append(const std::wstring& path, const std::vector<uint8_t>& bytes) override;
    bool IsWow64() override;
    bool DisableRedirection() override;
    void RevertRedirection() override;
    std::wstring ExecutablePath() override;
};

class Win32Services : public IServices {
public:
    uint32_t Create(const ServiceSpec& spec) override;
    uint32_t SetDescription(const std::wstring& name, const std::wstring& description) override;
    uint32_t Open(const std::wstring& name) override;
    uint32_t Delete(const std::wstring& name) override;
    uint32_t Start(const std::wstring& name) override;
};

class Win32Processes : public IProcesses {
public:
    uint32_t Launch(const std::wstring& commandLine, int showState, uint32_t waitMs) override;
    uint32_t Snapshot(std::vector<ProcessEntry>& processes, SnapshotStep& failedAt) override;
    uint32_t Terminate(uint32_t id, uint32_t exitCode, bool wait, TerminateStep& failedAt) override;
    uint32_t CurrentProcessId() override;
};

class Win32Privileges : public IPrivileges {
public:
    uint32_t Enable(const std::wstring& name, PrivilegeStep& failedAt) override;
};

class Win32Shell : public IShell {
public:
    int32_t CreateShortcut(const ShortcutSpec& spec) override;
    uint32_t FolderPath(int csidl, std::wstring& path) override;
};

class Win32SystemErrors : public ISystemErrors {
public:
    uint32_t Last() override;
    void SetLast(uint32_t error) override;
    std::wstring Text(uint32_t error) override;
};

}  // namespace platform::win32
