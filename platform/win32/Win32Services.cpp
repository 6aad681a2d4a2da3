#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

namespace {

uint32_t LastError() { return static_cast<uint32_t>(::GetLastError()); }

uint32_t OpenNamedService(const std::wstring& name, DWORD managerAccess, DWORD serviceAccess, ScopedService& service) {
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, managerAccess));
    if (!manager) return LastError();
    service.Reset(::OpenServiceW(manager.Get(), name.c_str(), serviceAccess));
    return service ? 0 : LastError();
}

}  // namespace

uint32_t Win32Services::Create(const ServiceSpec& spec) {
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) return LastError();
    ScopedService service(::CreateServiceW(manager.Get(), spec.name.c_str(), spec.displayName.c_str(),
                                           SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, spec.startType,
                                           spec.errorControl, spec.binaryPath.c_str(), nullptr, nullptr, nullptr,
                                           nullptr, nullptr));
    return service ? 0 : LastError();
}

uint32_t Win32Services::SetDescription(const std::wstring& name, const std::wstring& description) {
    ScopedService service;
    if (uint32_t error = OpenNamedService(name, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS, service)) return error;
    std::wstring text = description;
    SERVICE_DESCRIPTIONW info{&text[0]};
    return ::ChangeServiceConfig2W(service.Get(), SERVICE_CONFIG_DESCRIPTION, &info) ? 0 : LastError();
}

uint32_t Win32Services::Open(const std::wstring& name) {
    ScopedService service;
    return OpenNamedService(name, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS, service);
}

uint32_t Win32Services::Delete(const std::wstring& name) {
    ScopedService service;
    if (uint32_t error = OpenNamedService(name, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS, service)) return error;
    return ::DeleteService(service.Get()) ? 0 : LastError();
}

uint32_t Win32Services::Start(const std::wstring& name) {
    ScopedService service;
    if (uint32_t error = OpenNamedService(name, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS, service)) return error;
    return ::StartServiceW(service.Get(), 0, nullptr) ? 0 : LastError();
}

}  // namespace platform::win32
