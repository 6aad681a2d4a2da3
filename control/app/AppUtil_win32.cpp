#include "control/app/AppUtil.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <memory>

#include "platform/win32/ScopedWin.h"

namespace control::app {

namespace {
constexpr size_t kDebugLineChars = 65536;
}

void DebugPrint(const wchar_t* format, ...) {
    // One buffer per call: lines from the cache worker and the UI thread never mix.
    auto buffer = std::make_unique<wchar_t[]>(kDebugLineChars);
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(buffer.get(), kDebugLineChars, format, args);
    va_end(args);
    if (n < 0) buffer[kDebugLineChars - 1] = L'\0';
    ::OutputDebugStringW(buffer.get());
}

bool EnableShutdownPrivilege() {
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid)) return false;
    platform::win32::ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = luid;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

bool IsWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(::GetProcAddress(kernel, "IsWow64Process"))
                                 : nullptr;
    if (isWow64Process == nullptr) return false;
    BOOL wow64 = FALSE;
    if (!isWow64Process(::GetCurrentProcess(), &wow64)) return false;
    return wow64 != FALSE;
}

}  // namespace control::app
