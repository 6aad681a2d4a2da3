// Everything the wizard pages and the install engine share about one run: the shell folders,
// the user data and the options of InstallInfo.ini / InstallExternalInfo.ini.
#pragma once

#include <cstdint>
#include <string>

namespace install {

// A shell folder the run uses: whether it is used, its CSIDL and the resolved path.
struct FolderEntry {
    int m_bUse = 0;
    int m_nFolderId = 0;
    std::wstring m_strPath;
};

inline constexpr wchar_t kDefaultAdminPassword[] = L"bramble";
inline constexpr wchar_t kDefaultVDisk0Path[] = L"\\\\.\\CorvaneVDisk0\\Partition0";
inline constexpr wchar_t kDefaultVDisk1Path[] = L"\\\\.\\CorvaneVDisk1\\Partition0";

struct InstallOptions {
    FolderEntry m_ProgramFiles;   // becomes the install folder
    FolderEntry m_Desktop;        // use flag: create the desktop shortcut
    FolderEntry m_StartMenu;      // use flag: create the start-menu shortcuts
    FolderEntry m_LocalAppData;
    FolderEntry m_RecordFolder;   // uninstall record file and the installer's copy
    FolderEntry m_CommonStartup;
    std::wstring m_strAdminPassword = kDefaultAdminPassword;
    std::wstring m_strUserName;
    std::wstring m_strCompany;
    int m_bCredentialProvider = 0;
    int m_nDosMem = 1;
    int m_nDosMemFix = 0;
    int m_nRecovSol = 1;
    int m_nNotTurbobootInst = 0;  // 0 or 1
    int m_nAllDriveProtect = 0;
    int m_nUnProtSystemDrive = 0;
    int m_nOnlySystemDisk = 0;
    int m_nManualRecovery = 0;
    int m_nOnlySystemDrive = 0;
    int m_nNoVDisk0 = 0;
    std::wstring m_strVDisk0Path = kDefaultVDisk0Path;
    std::wstring m_strVDisk1Path = kDefaultVDisk1Path;
    int m_nLinkTargetDrive = 0;
    int m_nInstallNetworkFilter = 0;
    int m_nAutoDeleteDocuments = 0;
    int m_nOneClickClient = 0;
    int m_nUpdateSession = 0;
    int m_nIgnoreUpdate = 0;
    int m_nIgnoreWinVersion = 0;
    int m_nDefaultReboot = 2;
    uint32_t m_dwPackageTimeHigh = 0;
    uint32_t m_dwPackageTimeLow = 0;
};

// One line per field, "name=value", in field order: for the log and for comparing records.
std::wstring DescribeOptions(const InstallOptions& options);

}  // namespace install
