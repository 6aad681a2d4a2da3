// Reading InstallInfo.ini (the package's defaults) and InstallExternalInfo.ini (a deployment's
// overrides and user data) into InstallOptions. Both are looked for only in the folder of the
// running program file: a relative name would make the private-profile functions look in the
// Windows folder, and the current directory is not ours to trust.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "install/app/InstallOptions.h"
#include "platform/ports/Profile.h"

namespace install {

inline constexpr wchar_t kInstallInfoFileName[] = L"InstallInfo.ini";
inline constexpr wchar_t kExternalInfoFileName[] = L"InstallExternalInfo.ini";
inline constexpr size_t kPathBufferChars = 260;  // paths: up to 259 characters
inline constexpr size_t kNameBufferChars = 48;   // user name and company: up to 47 characters

// A profile value as a number: leading blanks, an optional sign, then decimal digits up to the
// first other character; no digits gives 0. Wraps like the 32-bit value it is stored in.
uint32_t ParseProfileInteger(const std::wstring& text);

class InstallConfigFiles {
public:
    // `programFolder`: folder of the running program file, without a trailing backslash.
    InstallConfigFiles(platform::IProfile& profile, std::wstring programFolder);

    std::wstring InstallInfoPath() const;
    std::wstring ExternalInfoPath() const;

    // [CorvaneInfo] drive defaults, [VDiskInfo], [ServerInfo] and [EtcInfo] of InstallInfo.ini.
    void ReadInstallInfo(InstallOptions& options);
    // DosMem, DosMemFix, RecovSol and NotTurbobootInst of InstallInfo.ini.
    void ReadAdvancedDefaults(InstallOptions& options);
    // [InternalInfo] LinkEx.
    int ReadLinkEx();
    // InstallExternalInfo.ini over what was read so far, when the file exists.
    void ReadExternalInfo(InstallOptions& options);

    // After the installed product's InstallInfo.ini was copied over the package's: read it again
    // but keep what the package decides about this update, and mark the run as an update.
    void RereadCopiedInstallInfo(InstallOptions& options);
    // The installed copy could not be taken over: the next run must not try again.
    bool WriteUpdateSessionOff();

    // The reading order of one run up to the modules (InstallInfo.ini, the update take-over,
    // LinkEx). `takeOverInstalledCopy` copies the installed InstallInfo.ini over the package's
    // and says whether that worked; it is asked only in an update session.
    void ReadPackageConfiguration(InstallOptions& options, int& linkEx,
                                  const std::function<bool()>& takeOverInstalledCopy);
    // The reading order after the modules: user-data defaults, advanced defaults, the
    // deployment's overrides.
    void ReadUserConfiguration(InstallOptions& options);

private:
    uint32_t ReadNumber(const std::wstring& file, const wchar_t* section, const wchar_t* key, uint32_t fallback);
    int ReadInt(const std::wstring& file, const wchar_t* section, const wchar_t* key, int fallback) {
        return static_cast<int>(ReadNumber(file, section, key, static_cast<uint32_t>(fallback)));
    }
    // The keys both files share; each key's default is the option's value at that moment.
    void ReadSharedKeys(const std::wstring& file, InstallOptions& options);

    platform::IProfile& profile_;
    std::wstring folder_;
};

// The user-data defaults of a run: administrator password, empty user name and company, no
// credential-provider module seen yet.
void ApplyUserDataDefaults(InstallOptions& options);

}  // namespace install
