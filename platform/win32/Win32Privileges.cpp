#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

namespace {
uint32_t LastError() { return static_cast<uint32_t>(::GetLastError()); }
}  // namespace

uint32_t Win32Privileges::Enable(const std::wstring& name, PrivilegeStep& failedAt) {
    failedAt = PrivilegeStep::OpenToken;
    ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return LastError();
    failedAt = PrivilegeStep::Lookup;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &privileges.Privileges[0].Luid)) return LastError();
    failedAt = PrivilegeStep::Adjust;
    if (!::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return LastError();
    return 0;
}

}  // namespace platform::win32
