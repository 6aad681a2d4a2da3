// Version resources and folder listings from Windows.
#pragma once

#include "platform/ports/VersionFiles.h"

namespace platform::win32 {

class Win32VersionFiles : public platform::IVersionFiles {
public:
    bool List(const std::wstring& pattern, std::vector<platform::VersionFileEntry>& entries) override;
    uint32_t InfoSize(const std::wstring& path, uint32_t& error) override;
    bool Read(const std::wstring& path, std::vector<uint8_t>& block) override;
    bool QueryRoot(const std::vector<uint8_t>& block, uint32_t& versionMs, uint32_t& versionLs) override;
    bool QueryTranslations(const std::vector<uint8_t>& block, std::vector<std::pair<uint16_t, uint16_t>>& pairs) override;
    bool QueryString(const std::vector<uint8_t>& block, const std::wstring& subBlock, std::wstring& value) override;
};

}  // namespace platform::win32
