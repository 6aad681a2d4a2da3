// Files and folders as the installer engine sees them, including WOW64 file-system redirection
// (a 32-bit installer on 64-bit Windows sees SysWOW64 where it asks for System32 unless it turns
// redirection off). Calls return the Windows error code, 0 on success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct FindEntry {
    std::wstring name;
    bool directory = false;
};

class IFiles {
public:
    virtual ~IFiles() = default;

    // Named apart from the Win32 calls so that <windows.h> macros never rename them.
    virtual uint32_t CreateFolder(const std::wstring& path) = 0;
    virtual uint32_t RemoveFolder(const std::wstring& path) = 0;
    virtual uint32_t RemoveFile(const std::wstring& path) = 0;
    // Overwrites an existing target.
    virtual uint32_t CopyFileOver(const std::wstring& source, const std::wstring& target) = 0;
    // MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): removal when Windows next starts.
    virtual uint32_t DeleteAtReboot(const std::wstring& path) = 0;
    // Entries FindFirstFileW/FindNextFileW give for `pattern`; ERROR_FILE_NOT_FOUND or
    // ERROR_PATH_NOT_FOUND when there are none.
    virtual uint32_t Find(const std::wstring& pattern, std::vector<FindEntry>& entries) = 0;

    // Whole-file helpers for small files the installer owns (the uninstall record file).
    // CreateNew fails with ERROR_FILE_EXISTS when the file is there; Append opens or creates.
    virtual uint32_t ReadAll(const std::wstring& path, std::vector<uint8_t>& bytes) = 0;
    virtual uint32_t CreateNew(const std::wstring& path, const std::vector<uint8_t>& bytes) = 0;
    virtual uint32_t Append(const std::wstring& path, const std::vector<uint8_t>& bytes) = 0;

    // WOW64: whether this 32-bit process runs on 64-bit Windows, and redirection switching.
    // Disable returns whether redirection was turned off (false where there is none to turn off);
    // only a successful Disable is to be followed by Revert.
    virtual bool IsWow64() = 0;
    virtual bool DisableRedirection() = 0;
    virtual void RevertRedirection() = 0;

    // Full path of the running executable.
    virtual std::wstring ExecutablePath() = 0;
};

// Redirection off for one scope, when asked and only where it exists.
class RedirectionOff {
public:
    RedirectionOff(IFiles& files, bool wanted) : files_(files), off_(wanted && files.IsWow64() && files.DisableRedirection()) {}
    ~RedirectionOff() { if (off_) files_.RevertRedirection(); }
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

private:
    IFiles& files_;
    bool off_;
};

}  // namespace platform
