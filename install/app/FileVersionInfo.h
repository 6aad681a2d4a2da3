// Version resources of the product's files: the installer shows the version of the product it
// installs or removes in the wizard's title and in the version box (F1).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "platform/ports/Log.h"
#include "platform/ports/VersionFiles.h"

namespace install {

inline constexpr uint32_t kErrorResourceTypeNotFound = 1813;  // the file has resources, none of them a version
inline constexpr uint32_t kErrorResourceDataNotFound = 1812;  // the file has no resources at all
inline constexpr wchar_t kInstallerVersion[] = L"1.4.122.484";
inline constexpr wchar_t kVersionBoxCaption[] = L"Install";

// The ten texts of one language/code-page pair, in this order.
enum VersionString {
    kCompanyName, kFileDescription, kFileVersion, kInternalName, kLegalCopyright,
    kLegalTrademarks1, kLegalTrademarks2, kOriginalFilename, kProductName, kProductVersion, kVersionStringCount
};

struct FileVersionInfo {
    uint16_t major = 0, minor = 0, build = 0, revision = 0;
    std::map<int, std::array<std::wstring, kVersionStringCount>> strings;  // translation number -> texts
};

// ReadFileVersionInfo: a file without a version resource (also one without any resources) gets
// the product's default record.
bool ReadFileVersionInfo(platform::IVersionFiles& files, platform::ILog& log, const std::wstring& path,
                         FileVersionInfo& record);

// FindProductVersion: depth-first search of `folder` for `fileName` (without regard to case);
// the ProductVersion of the first readable one. Links to other folders are not followed, so a
// junction pointing back up cannot send the search round for ever.
bool FindProductVersion(platform::IVersionFiles& files, platform::ILog& log, const std::wstring& folder,
                        const std::wstring& fileName, std::wstring& productVersion);

// The text of the version box: the installer's version, and the product's when it is known.
std::wstring VersionBoxText(const std::wstring& productDisplayName, const std::wstring& productVersion);

}  // namespace install
