// corvane.dll's store on a real (or Wine) machine:
//   HKLM\SOFTWARE\Talvoric\CorvaneCore           value "State" (REG_BINARY): the whole state
//   HKLM\SOFTWARE\Talvoric\CorvaneCore\Session   volatile key, value "WrongPasswords" (REG_DWORD)
// The volatile key disappears with a restart (under Wine: when the prefix's server stops), which
// is how the library notices a new system start. The named mutex "CorvaneCoreStateLock" guards
// every load-modify-save, across threads and processes.
#pragma once

#include <windows.h>

#include "outside/corvane/CoreStore.h"
#include "platform/win32/ScopedWin.h"

namespace corvane_core {

constexpr wchar_t kCoreKeyPath[] = L"SOFTWARE\\Talvoric\\CorvaneCore";
constexpr wchar_t kSessionKeyPath[] = L"SOFTWARE\\Talvoric\\CorvaneCore\\Session";

class RegistryCoreStore : public ICoreStore {
public:
    RegistryCoreStore();
    bool Lock() override;
    void Unlock() override;
    LoadResult Load(std::vector<uint8_t>& bytes) override;
    bool Save(const std::vector<uint8_t>& bytes) override;
    bool Erase() override;
    bool SessionExists(bool& exists) override;
    bool CreateSession() override;
    bool ReadWrongPasswords(uint32_t& count) override;
    bool WriteWrongPasswords(uint32_t count) override;

private:
    platform::win32::ScopedHandle mutex_;
};

class Win32CoreSystem : public ICoreSystem {
public:
    corvane_ioctl::CORVANE_SYSTEMTIME Now() override;
    // Fixed drives C..Z. Under Wine the drive mapped to the Unix root ("/", normally Z:) is
    // left out: it is the host's file system, not a disk of this PC.
    std::vector<FixedDrive> FixedDrives() override;
};

}  // namespace corvane_core
