// The shell as the installer engine sees it: special folders and shell links.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// CSIDL values the installer asks for.
constexpr int kCsidlDesktopDirectory = 0x0010;
constexpr int kCsidlCommonPrograms = 0x0017;
constexpr int kCsidlCommonDesktop = 0x0019;
constexpr int kCsidlPrograms = 0x0002;
constexpr int kCsidlProgramFiles = 0x0026;
constexpr int kCsidlSystem = 0x0025;
constexpr int kCsidlWindows = 0x0024;

constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);

struct ShortcutSpec {
    std::wstring linkPath;
    std::wstring target;
    std::wstring arguments;
    std::wstring description;
    std::wstring workingFolder;
    std::wstring iconFile;  // icon index 0
};

class IShell {
public:
    virtual ~IShell() = default;
    // Saves a shell link; the result is an HRESULT (E_FAIL when the link object or one of its
    // interfaces is unavailable).
    virtual int32_t CreateShortcut(const ShortcutSpec& spec) = 0;
    // SHGetFolderPathW; the Windows error code (0 on success).
    virtual uint32_t FolderPath(int csidl, std::wstring& path) = 0;
};

}  // namespace platform
