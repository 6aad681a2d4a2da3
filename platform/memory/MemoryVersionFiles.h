// Folders and version resources for native tests: a test lists each folder's entries and gives
// each file the resource it should have (or none, or a failure).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ports/VersionFiles.h"

namespace platform::memory {

struct MemoryVersionResource {
    uint32_t sizeError = 0;  // non-zero: InfoSize fails with it
    bool readFails = false;
    bool hasRoot = true;
    uint32_t versionMs = 0, versionLs = 0;
    std::vector<std::pair<uint16_t, uint16_t>> translations;
    std::map<std::wstring, std::wstring> strings;  // "\StringFileInfo\041204b0\ProductVersion" -> value
};

class MemoryVersionFiles : public platform::IVersionFiles {
public:
    std::map<std::wstring, std::vector<platform::VersionFileEntry>> folders;  // by folder path
    std::map<std::wstring, MemoryVersionResource> resources;                 // by file path; absent: no resource
    std::vector<std::wstring> queries;

    bool List(const std::wstring& pattern, std::vector<platform::VersionFileEntry>& entries) override;
    uint32_t InfoSize(const std::wstring& path, uint32_t& error) override;
    bool Read(const std::wstring& path, std::vector<uint8_t>& block) override;
    bool QueryRoot(const std::vector<uint8_t>& block, uint32_t& versionMs, uint32_t& versionLs) override;
    bool QueryTranslations(const std::vector<uint8_t>& block, std::vector<std::pair<uint16_t, uint16_t>>& pairs) override;
    bool QueryString(const std::vector<uint8_t>& block, const std::wstring& subBlock, std::wstring& value) override;

private:
    const MemoryVersionResource* FromBlock(const std::vector<uint8_t>& block) const;
};

}  // namespace platform::memory
