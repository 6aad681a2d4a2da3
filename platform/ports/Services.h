// The service control manager as the installer engine sees it. Each call opens the manager and
// the service it needs and closes them again; the result is the Windows error code of the call
// that failed, 0 on success.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

constexpr uint32_t kServiceAutoStart = 2;
constexpr uint32_t kServiceDemandStart = 3;
constexpr uint32_t kServiceErrorIgnore = 0;

struct ServiceSpec {
    std::wstring name;
    std::wstring displayName;
    std::wstring binaryPath;
    uint32_t startType = kServiceAutoStart;
    uint32_t errorControl = kServiceErrorIgnore;
};

class IServices {
public:
    virtual ~IServices() = default;
    // Own-process service, no group, dependencies or account.
    virtual uint32_t Create(const ServiceSpec& spec) = 0;
    virtual uint32_t SetDescription(const std::wstring& name, const std::wstring& description) = 0;
    // 0 when the service can be opened with full access; ERROR_SERVICE_DOES_NOT_EXIST when absent.
    virtual uint32_t Open(const std::wstring& name) = 0;
    virtual uint32_t Delete(const std::wstring& name) = 0;
    virtual uint32_t Start(const std::wstring& name) = 0;
};

}  // namespace platform
