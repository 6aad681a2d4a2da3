// Private-profile files through the Windows functions themselves.
#pragma once

#include "platform/ports/Profile.h"

namespace platform::win32 {

class Win32Profile : public platform::IProfile {
public:
    std::wstring ReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                            const std::wstring& fallback, size_t bufferChars) override;
    bool WriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
    bool FileExists(const std::wstring& file) override;
};

}  // namespace platform::win32
