#include "outside/agent/AgentSystem_win32.h"

#include <windows.h>

#include "platform/win32/ScopedWin.h"

namespace corvane_agent {

using platform::win32::ScopedKey;
using platform::win32::ScopedService;

uint32_t Win32AgentSystem::SetServiceStart(const std::wstring& service, uint32_t start) {
    // Through the service manager, never by writing the registry: a service that is not
    // installed here stays absent instead of gaining a half-made key.
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return ::GetLastError();
    ScopedService handle(::OpenServiceW(manager.Get(), service.c_str(), SERVICE_CHANGE_CONFIG));
    if (!handle) return ::GetLastError();
    if (!::ChangeServiceConfigW(handle.Get(), SERVICE_NO_CHANGE, start, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr))
        return ::GetLastError();
    return 0;
}

uint32_t Win32AgentSystem::StopService(const std::wstring& service) {
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return ::GetLastError();
    ScopedService handle(::OpenServiceW(manager.Get(), service.c_str(), SERVICE_STOP));
    if (!handle) return ::GetLastError();
    SERVICE_STATUS status{};
    if (::ControlService(handle.Get(), SERVICE_CONTROL_STOP, &status)) return 0;
    DWORD error = ::GetLastError();
    // Asking a stopped service to stop is no failure: it is where we want it.
    return error == ERROR_SERVICE_NOT_ACTIVE ? 0 : error;
}

uint32_t Win32AgentSystem::SetStorageWriteProtect(uint32_t value) {
    ScopedKey key;
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\StorageDevicePolicies", 0,
                                       nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
    DWORD data = value;
    return static_cast<uint32_t>(
        ::RegSetValueExW(key.Get(), L"WriteProtect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data));
}

}  // namespace corvane_agent
