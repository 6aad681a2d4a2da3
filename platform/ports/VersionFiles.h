// Version resources of files and the folder walk that finds them: GetFileVersionInfoSizeW,
// GetFileVersionInfoW, VerQueryValueW and FindFirstFileW/FindNextFileW.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct VersionFileEntry {
    std::wstring name;
    bool directory = false;
    bool reparsePoint = false;  // a link to elsewhere (junction, symbolic link)
};

class IVersionFiles {
public:
    virtual ~IVersionFiles() = default;
    // Entries for `pattern` ("folder\*.*") in the order the file system gives them; false when
    // the folder cannot be enumerated.
    virtual bool List(const std::wstring& pattern, std::vector<VersionFileEntry>& entries) = 0;
    // Size of the version resource; 0 and the error when there is none or it cannot be read.
    virtual uint32_t InfoSize(const std::wstring& path, uint32_t& error) = 0;
    // The resource into `block` (already sized from InfoSize).
    virtual bool Read(const std::wstring& path, std::vector<uint8_t>& block) = 0;
    // VerQueryValueW of "\": the file version's two double words.
    virtual bool QueryRoot(const std::vector<uint8_t>& block, uint32_t& versionMs, uint32_t& versionLs) = 0;
    // VerQueryValueW of "\VarFileInfo\Translation": language and code page of each pair.
    virtual bool QueryTranslations(const std::vector<uint8_t>& block, std::vector<std::pair<uint16_t, uint16_t>>& pairs) = 0;
    // VerQueryValueW of a "\StringFileInfo\..." path.
    virtual bool QueryString(const std::vector<uint8_t>& block, const std::wstring& subBlock, std::wstring& value) = 0;
};

}  // namespace platform
