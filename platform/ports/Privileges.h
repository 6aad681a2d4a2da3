// Token privileges of the installer's own process.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class PrivilegeStep { OpenToken, Lookup, Adjust };

class IPrivileges {
public:
    virtual ~IPrivileges() = default;
    // Enables `name` in the process token. On failure `failedAt` names the step that failed.
    virtual uint32_t Enable(const std::wstring& name, PrivilegeStep& failedAt) = 0;
};

}  // namespace platform
