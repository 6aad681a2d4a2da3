// The calling thread's Windows last-error value and the system's text for an error code. The
// installer's helpers report failure as a boolean and leave the last error set, as Win32 does.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class ISystemErrors {
public:
    virtual ~ISystemErrors() = default;
    virtual uint32_t Last() = 0;
    virtual void SetLast(uint32_t error) = 0;
    // FormatMessageW from the system in US English, at most 256 characters; empty when unknown.
    virtual std::wstring Text(uint32_t error) = 0;
};

}  // namespace platform

namespace platform {

// Windows error codes the ports and the engine name.
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNoMoreFiles = 18;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorProcNotFound = 127;
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorDirectory = 267;
constexpr uint32_t kErrorServiceAlreadyRunning = 1056;
constexpr uint32_t kErrorServiceDoesNotExist = 1060;
constexpr uint32_t kErrorServiceMarkedForDelete = 1072;
constexpr uint32_t kErrorServiceExists = 1073;
constexpr uint32_t kErrorNoSuchPrivilege = 1313;

}  // namespace platform
