#include "install/app/InstallConfig.h"

#include <utility>

namespace install {

namespace {
constexpr wchar_t kCorvaneInfo[] = L"CorvaneInfo";
constexpr wchar_t kVDiskInfo[] = L"VDiskInfo";
constexpr wchar_t kServerInfo[] = L"ServerInfo";
constexpr wchar_t kEtcInfo[] = L"EtcInfo";
constexpr wchar_t kInternalInfo[] = L"InternalInfo";
constexpr wchar_t kSecurityInfo[] = L"SecurityInfo";
constexpr size_t kNumberBufferChars = 64;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }
}  // namespace

uint32_t ParseProfileInteger(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - L'0');
    return negative ? 0u - value : value;
}

InstallConfigFiles::InstallConfigFiles(platform::IProfile& profile, std::wstring programFolder)
    : profile_(profile), folder_(std::move(programFolder)) {
    while (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) folder_.pop_back();
}

std::wstring InstallConfigFiles::InstallInfoPath() const { return folder_ + L"\\" + kInstallInfoFileName; }
std::wstring InstallConfigFiles::ExternalInfoPath() const { return folder_ + L"\\" + kExternalInfoFileName; }

uint32_t InstallConfigFiles::ReadNumber(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                                        uint32_t fallback) {
    std::wstring text = profile_.ReadString(file, section, key, L"", kNumberBufferChars);
    // An empty value counts as absent, as GetPrivateProfileIntW has it.
    return text.empty() ? fallback : ParseProfileInteger(text);
}

void InstallConfigFiles::ReadSharedKeys(const std::wstring& file, InstallOptions& o) {
    o.m_nAllDriveProtect = ReadInt(file, kCorvaneInfo, L"AllDriveProtect", o.m_nAllDriveProtect);
    o.m_nUnProtSystemDrive = ReadInt(file, kCorvaneInfo, L"UnProtSystemDrive", o.m_nUnProtSystemDrive);
    o.m_nOnlySystemDisk = ReadInt(file, kCorvaneInfo, L"OnlySystemDisk", o.m_nOnlySystemDisk);
    o.m_nManualRecovery = ReadInt(file, kCorvaneInfo, L"ManualRecovery", o.m_nManualRecovery);
    o.m_nOnlySystemDrive = ReadInt(file, kCorvaneInfo, L"OnlySystemDrive", o.m_nOnlySystemDrive);

    o.m_nNoVDisk0 = ReadInt(file, kVDiskInfo, L"NoVDisk0", o.m_nNoVDisk0);
    o.m_nLinkTargetDrive = ReadInt(file, kVDiskInfo, L"LinkTargetDrive", o.m_nLinkTargetDrive);
    // Both paths are read before the NoVDisk0 rule picks the first disk's.
    std::wstring vdisk0 = profile_.ReadString(file, kVDiskInfo, L"VDisk0Path", o.m_strVDisk0Path, kPathBufferChars);
    std::wstring vdisk1 = profile_.ReadString(file, kVDiskInfo, L"VDisk1Path", o.m_strVDisk1Path, kPathBufferChars);
    o.m_strVDisk0Path = o.m_nNoVDisk0 != 0 ? vdisk1 : vdisk0;
    o.m_strVDisk1Path = vdisk1;

    o.m_nInstallNetworkFilter = ReadInt(file, kServerInfo, L"InstallNetworkFilter", o.m_nInstallNetworkFilter);

    o.m_nAutoDeleteDocuments = ReadInt(file, kEtcInfo, L"AutoDeleteDocuments", o.m_nAutoDeleteDocuments);
    o.m_nOneClickClient = ReadInt(file, kEtcInfo, L"OneClickClient", o.m_nOneClickClient);
    o.m_nUpdateSession = ReadInt(file, kEtcInfo, L"UpdateSession", o.m_nUpdateSession);
    o.m_nDefaultReboot = ReadInt(file, kEtcInfo, L"DefaultReboot", o.m_nDefaultReboot);
    o.m_dwPackageTimeHigh = ReadNumber(file, kEtcInfo, L"PackageTimeHigh", o.m_dwPackageTimeHigh);
    o.m_dwPackageTimeLow = ReadNumber(file, kEtcInfo, L"PackageTimeLow", o.m_dwPackageTimeLow);
}

void InstallConfigFiles::ReadInstallInfo(InstallOptions& options) {
    // The package file's defaults are the fixed start values, not whatever the record holds.
    InstallOptions read;
    std::wstring file = InstallInfoPath();
    ReadSharedKeys(file, read);
    read.m_nIgnoreUpdate = ReadInt(file, kEtcInfo, L"IgnoreUpdate", 0);
    read.m_nIgnoreWinVersion = ReadInt(file, kEtcInfo, L"IgnoreWinVersion", 0);

    options.m_nAllDriveProtect = read.m_nAllDriveProtect;
    options.m_nUnProtSystemDrive = read.m_nUnProtSystemDrive;
    options.m_nOnlySystemDisk = read.m_nOnlySystemDisk;
    options.m_nManualRecovery = read.m_nManualRecovery;
    options.m_nOnlySystemDrive = read.m_nOnlySystemDrive;
    options.m_nNoVDisk0 = read.m_nNoVDisk0;
    options.m_nLinkTargetDrive = read.m_nLinkTargetDrive;
    options.m_strVDisk0Path = read.m_strVDisk0Path;
    options.m_strVDisk1Path = read.m_strVDisk1Path;
    options.m_nInstallNetworkFilter = read.m_nInstallNetworkFilter;
    options.m_nAutoDeleteDocuments = read.m_nAutoDeleteDocuments;
    options.m_nOneClickClient = read.m_nOneClickClient;
    options.m_nUpdateSession = read.m_nUpdateSession;
    options.m_nDefaultReboot = read.m_nDefaultReboot;
    options.m_dwPackageTimeHigh = read.m_dwPackageTimeHigh;
    options.m_dwPackageTimeLow = read.m_dwPackageTimeLow;
    options.m_nIgnoreUpdate = read.m_nIgnoreUpdate;
    options.m_nIgnoreWinVersion = read.m_nIgnoreWinVersion;
}

void InstallConfigFiles::ReadAdvancedDefaults(InstallOptions& options) {
    std::wstring file = InstallInfoPath();
    options.m_nDosMem = ReadInt(file, kCorvaneInfo, L"DosMem", 1);
    options.m_nDosMemFix = ReadInt(file, kCorvaneInfo, L"DosMemFix", 0);
    options.m_nRecovSol = ReadInt(file, kCorvaneInfo, L"RecovSol", 1);
    options.m_nNotTurbobootInst = ReadInt(file, kCorvaneInfo, L"NotTurbobootInst", 0) != 0 ? 1 : 0;
}

int InstallConfigFiles::ReadLinkEx() { return ReadInt(InstallInfoPath(), kInternalInfo, L"LinkEx", 0); }

void InstallConfigFiles::ReadExternalInfo(InstallOptions& options) {
    std::wstring file = ExternalInfoPath();
    if (!profile_.FileExists(file)) return;
    ReadSharedKeys(file, options);
    options.m_strUserName = profile_.ReadString(file, kSecurityInfo, L"UserName", L"", kNameBufferChars);
    options.m_strCompany = profile_.ReadString(file, kSecurityInfo, L"Company", L"", kNameBufferChars);
}

void InstallConfigFiles::RereadCopiedInstallInfo(InstallOptions& options) {
    InstallOptions kept = options;
    ReadInstallInfo(options);
    options.m_nLinkTargetDrive = kept.m_nLinkTargetDrive;
    options.m_nInstallNetworkFilter = kept.m_nInstallNetworkFilter;
    options.m_nOneClickClient = kept.m_nOneClickClient;
    options.m_nIgnoreUpdate = kept.m_nIgnoreUpdate;
    options.m_nIgnoreWinVersion = kept.m_nIgnoreWinVersion;
    options.m_nDefaultReboot = kept.m_nDefaultReboot;
    options.m_dwPackageTimeHigh = kept.m_dwPackageTimeHigh;
    options.m_dwPackageTimeLow = kept.m_dwPackageTimeLow;
    options.m_nUpdateSession = 1;
}

bool InstallConfigFiles::WriteUpdateSessionOff() {
    return profile_.WriteString(InstallInfoPath(), kEtcInfo, L"UpdateSession", L"0");
}

void InstallConfigFiles::ReadPackageConfiguration(InstallOptions& options, int& linkEx,
                                                  const std::function<bool()>& takeOverInstalledCopy) {
    ReadInstallInfo(options);
    if (options.m_nUpdateSession != 0) {
        if (takeOverInstalledCopy && takeOverInstalledCopy())
            RereadCopiedInstallInfo(options);
        else
            WriteUpdateSessionOff();  // this run keeps the values already read
    }
    linkEx = ReadLinkEx();
}

void InstallConfigFiles::ReadUserConfiguration(InstallOptions& options) {
    ApplyUserDataDefaults(options);
    ReadAdvancedDefaults(options);
    ReadExternalInfo(options);
}

void ApplyUserDataDefaults(InstallOptions& options) {
    options.m_strAdminPassword = kDefaultAdminPassword;
    options.m_strUserName.clear();
    options.m_strCompany.clear();
    options.m_bCredentialProvider = 0;
}

std::wstring DescribeOptions(const InstallOptions& o) {
    std::wstring out;
    auto add = [&out](const wchar_t* name, const std::wstring& value) { out += name; out += L"="; out += value; out += L"\n"; };
    auto num = [&add](const wchar_t* name, long long value) { add(name, std::to_wstring(value)); };
    auto folder = [&add](const wchar_t* name, const FolderEntry& f) {
        add(name, std::to_wstring(f.m_bUse) + L"," + std::to_wstring(f.m_nFolderId) + L"," + f.m_strPath);
    };
    folder(L"ProgramFiles", o.m_ProgramFiles);
    folder(L"Desktop", o.m_Desktop);
    folder(L"StartMenu", o.m_StartMenu);
    folder(L"LocalAppData", o.m_LocalAppData);
    folder(L"RecordFolder", o.m_RecordFolder);
    folder(L"CommonStartup", o.m_CommonStartup);
    add(L"AdminPassword", o.m_strAdminPassword);
    add(L"UserName", o.m_strUserName);
    add(L"Company", o.m_strCompany);
    num(L"CredentialProvider", o.m_bCredentialProvider);
    num(L"DosMem", o.m_nDosMem);
    num(L"DosMemFix", o.m_nDosMemFix);
    num(L"RecovSol", o.m_nRecovSol);
    num(L"NotTurbobootInst", o.m_nNotTurbobootInst);
    num(L"AllDriveProtect", o.m_nAllDriveProtect);
    num(L"UnProtSystemDrive", o.m_nUnProtSystemDrive);
    num(L"OnlySystemDisk", o.m_nOnlySystemDisk);
    num(L"ManualRecovery", o.m_nManualRecovery);
    num(L"OnlySystemDrive", o.m_nOnlySystemDrive);
    num(L"NoVDisk0", o.m_nNoVDisk0);
    add(L"VDisk0Path", o.m_strVDisk0Path);
    add(L"VDisk1Path", o.m_strVDisk1Path);
    num(L"LinkTargetDrive", o.m_nLinkTargetDrive);
    num(L"InstallNetworkFilter", o.m_nInstallNetworkFilter);
    num(L"AutoDeleteDocuments", o.m_nAutoDeleteDocuments);
    num(L"OneClickClient", o.m_nOneClickClient);
    num(L"UpdateSession", o.m_nUpdateSession);
    num(L"IgnoreUpdate", o.m_nIgnoreUpdate);
    num(L"IgnoreWinVersion", o.m_nIgnoreWinVersion);
    num(L"DefaultReboot", o.m_nDefaultReboot);
    num(L"PackageTimeHigh", o.m_dwPackageTimeHigh);
    num(L"PackageTimeLow", o.m_dwPackageTimeLow);
    return out;
}

}  // namespace install
