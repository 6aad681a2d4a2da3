// Cases of the configuration-file reading, shared by the native tests (in-memory profile model)
// and the Windows test driver (tools/installcheck, real private-profile functions), so that both
// tiers prove the same behaviour.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/app/InstallConfig.h"
#include "platform/ports/TextCodec.h"

namespace install::testcases {

struct ConfigCase {
    const char* name;
    bool hasInstallInfo;
    std::string installInfo;
    bool hasExternalInfo;
    std::string externalInfo;
    std::function<void(InstallOptions&)> expect;  // applied to the start values
    int expectedLinkEx;
};

inline std::string Utf16File(const std::wstring& text) {
    return std::string("\xFF\xFE") + platform::text::ToUtf16LeBytes(platform::text::ToUtf16(text));
}
inline std::string Utf8BomFile(const std::wstring& text) { return "\xEF\xBB\xBF" + platform::text::ToUtf8(text); }

inline const std::wstring& Korean60() {
    static const std::wstring name = [] {
        std::wstring s;
        for (int i = 0; i < 60; ++i) s.push_back(static_cast<wchar_t>(0xAC00 + i));  // 가, 각, ...
        return s;
    }();
    return name;
}

inline std::vector<ConfigCase> ConfigCases() {
    const std::string fullInstallInfo =
        "; package defaults\r\n"
        "[CorvaneInfo]\r\n"
        "AllDriveProtect=1\r\nUnProtSystemDrive=1\r\nOnlySystemDisk=1\r\nManualRecovery=1\r\nOnlySystemDrive=1\r\n"
        "DosMem=0\r\nDosMemFix=1\r\nRecovSol=0\r\nNotTurbobootInst=1\r\n"
        "[VDiskInfo]\r\nNoVDisk0=0\r\nLinkTargetDrive=2\r\nVDisk0Path=D:\\vd0\r\nVDisk1Path=E:\\vd1\r\n"
        "[ServerInfo]\r\nInstallNetworkFilter=1\r\n"
        "[EtcInfo]\r\nAutoDeleteDocuments=1\r\nOneClickClient=1\r\nUpdateSession=0\r\nIgnoreUpdate=1\r\n"
        "IgnoreWinVersion=1\r\nDefaultReboot=0\r\nPackageTimeHigh=30812345\r\nPackageTimeLow=4294967295\r\n"
        "[InternalInfo]\r\nLinkEx=1\r\n";
    auto full = [](InstallOptions& o) {
        o.m_nAllDriveProtect = o.m_nUnProtSystemDrive = o.m_nOnlySystemDisk = o.m_nManualRecovery = o.m_nOnlySystemDrive = 1;
        o.m_nDosMem = 0; o.m_nDosMemFix = 1; o.m_nRecovSol = 0; o.m_nNotTurbobootInst = 1;
        o.m_nLinkTargetDrive = 2; o.m_strVDisk0Path = L"D:\\vd0"; o.m_strVDisk1Path = L"E:\\vd1";
        o.m_nInstallNetworkFilter = 1; o.m_nAutoDeleteDocuments = 1; o.m_nOneClickClient = 1;
        o.m_nIgnoreUpdate = 1; o.m_nIgnoreWinVersion = 1; o.m_nDefaultReboot = 0;
        o.m_dwPackageTimeHigh = 30812345; o.m_dwPackageTimeLow = 0xFFFFFFFFu;
    };
    std::wstring longPath = L"C:\\";
    while (longPath.size() < 300) longPath += L"abcdefghij";
    const std::wstring korean = L"\uD64D\uAE38\uB3D9";      // 홍길동
    const std::wstring koreanCompany = L"\uD0C8\uBCF4\uB9AD";  // 탈보릭

    return {
        {"no files: start values", false, "", false, "", [](InstallOptions&) {}, 0},
        {"every key of InstallInfo.ini", true, fullInstallInfo, false, "", full, 1},
        {"names match without regard to case, blanks around names and values", true,
         "[corvaneinfo]\r\n  dOsMeM =  0  \r\n[ETCINFO]\r\ndefaultreboot\t=\t1\r\n[internalINFO]\r\nlinkex=3\r\n", false, "",
         [](InstallOptions& o) { o.m_nDosMem = 0; o.m_nDefaultReboot = 1; }, 3},
        {"NotTurbobootInst=5 is stored as 1", true, "[CorvaneInfo]\r\nNotTurbobootInst=5\r\n", false, "",
         [](InstallOptions& o) { o.m_nNotTurbobootInst = 1; }, 0},
        {"NoVDisk0 without VDisk1Path gives the second disk's default path", true, "[VDiskInfo]\r\nNoVDisk0=1\r\n", false, "",
         [](InstallOptions& o) { o.m_nNoVDisk0 = 1; o.m_strVDisk0Path = kDefaultVDisk1Path; }, 0},
        {"NoVDisk0 takes the VDisk1Path value", true,
         "[VDiskInfo]\r\nNoVDisk0=7\r\nVDisk0Path=X:\\zero\r\nVDisk1Path=Y:\\one\r\n", false, "",
         [](InstallOptions& o) { o.m_nNoVDisk0 = 7; o.m_strVDisk0Path = L"Y:\\one"; o.m_strVDisk1Path = L"Y:\\one"; }, 0},
        {"integer texts are read as decimal numbers", true,
         "[CorvaneInfo]\r\nDosMem=\r\nDosMemFix=12abc\r\nRecovSol=abc\r\nAllDriveProtect=\"3\"\r\nOnlySystemDisk=0x10\r\n"
         "ManualRecovery=-2\r\n[EtcInfo]\r\nPackageTimeHigh=-1\r\nPackageTimeLow=4294967296\r\nDefaultReboot=+4\r\n", false, "",
         [](InstallOptions& o) {
             o.m_nDosMem = 1; o.m_nDosMemFix = 12; o.m_nRecovSol = 0; o.m_nAllDriveProtect = 3; o.m_nOnlySystemDisk = 0;
             o.m_nManualRecovery = -2; o.m_dwPackageTimeHigh = 0xFFFFFFFFu; o.m_dwPackageTimeLow = 0; o.m_nDefaultReboot = 4;
         }, 0},
        {"comments, lines without '=' and repeated keys", true,
         ";[EtcInfo]\r\n[EtcInfo]\r\n;DefaultReboot=1\r\nOneClickClient\r\nAutoDeleteDocuments=5\r\nAutoDeleteDocuments=6\r\n"
         "[VDiskInfo]\r\nVDisk1Path=\r\n", false, "",
         [](InstallOptions& o) { o.m_nAutoDeleteDocuments = 5; o.m_strVDisk1Path.clear(); }, 0},
        {"a path is cut at 259 characters", true, "[VDiskInfo]\r\nVDisk0Path=" + platform::text::ToUtf8(longPath) + "\r\n",
         false, "", [longPath](InstallOptions& o) { o.m_strVDisk0Path = longPath.substr(0, 259); }, 0},
        {"external file overrides the shared keys only", true, fullInstallInfo, true,
         "[CorvaneInfo]\r\nAllDriveProtect=0\r\nDosMem=1\r\nRecovSol=1\r\n[VDiskInfo]\r\nLinkTargetDrive=0\r\n"
         "[EtcInfo]\r\nIgnoreUpdate=0\r\nIgnoreWinVersion=0\r\nDefaultReboot=2\r\nPackageTimeLow=5\r\n[InternalInfo]\r\nLinkEx=0\r\n",
         [full](InstallOptions& o) {
             full(o);
             o.m_nAllDriveProtect = 0; o.m_nLinkTargetDrive = 0; o.m_nDefaultReboot = 2; o.m_dwPackageTimeLow = 5;
         }, 1},
        {"external UpdateSession alone switches to an update", true, "[EtcInfo]\r\nUpdateSession=0\r\nOneClickClient=1\r\n", true,
         "[EtcInfo]\r\nUpdateSession=1\r\n",
         [](InstallOptions& o) { o.m_nUpdateSession = 1; o.m_nOneClickClient = 1; }, 0},
        {"external NoVDisk0 applies the rule again with the paths read so far", true,
         "[VDiskInfo]\r\nVDisk0Path=P:\\a\r\nVDisk1Path=Q:\\b\r\n", true, "[VDiskInfo]\r\nNoVDisk0=1\r\n",
         [](InstallOptions& o) { o.m_nNoVDisk0 = 1; o.m_strVDisk0Path = L"Q:\\b"; o.m_strVDisk1Path = L"Q:\\b"; }, 0},
        {"external file without [SecurityInfo] leaves user name and company empty", false, "", true,
         "[EtcInfo]\r\nDefaultReboot=1\r\n", [](InstallOptions& o) { o.m_nDefaultReboot = 1; }, 0},
        {"Unicode external file: Korean user data, 60 characters cut at 47", false, "", true,
         Utf16File(L"[SecurityInfo]\r\nUserName=" + Korean60() + L"\r\nCompany=" + koreanCompany + L"\r\n"),
         [](InstallOptions& o) { o.m_strUserName = Korean60().substr(0, 47); o.m_strCompany = L"\uD0C8\uBCF4\uB9AD"; }, 0},
        {"UTF-8 external file with a byte-order mark", false, "", true,
         Utf8BomFile(L"[SecurityInfo]\r\nUserName=" + korean + L"\r\nCompany=ACME Ltd.\r\n"),
         [korean](InstallOptions& o) { o.m_strUserName = korean; o.m_strCompany = L"ACME Ltd."; }, 0},
    };
}

// Runs one case: `place` puts a file (or removes it when `bytes` is null) at a full path, the
// reading runs in the order of one run, and the result is compared field by field. Returns an
// empty text on success, else what differed.
inline std::wstring RunConfigCase(platform::IProfile& profile, const std::wstring& folder, const ConfigCase& c,
                                  const std::function<void(const std::wstring&, const std::string*)>& place) {
    InstallConfigFiles files(profile, folder);
    place(files.InstallInfoPath(), c.hasInstallInfo ? &c.installInfo : nullptr);
    place(files.ExternalInfoPath(), c.hasExternalInfo ? &c.externalInfo : nullptr);

    InstallOptions actual;
    int linkEx = -1;
    files.ReadPackageConfiguration(actual, linkEx, [] { return false; });
    files.ReadUserConfiguration(actual);

    InstallOptions expected;
    c.expect(expected);
    std::wstring want = DescribeOptions(expected) + L"LinkEx=" + std::to_wstring(c.expectedLinkEx) + L"\n";
    std::wstring got = DescribeOptions(actual) + L"LinkEx=" + std::to_wstring(linkEx) + L"\n";
    if (want == got) return std::wstring();
    // Name the differing lines only.
    std::wstring diff;
    size_t a = 0, b = 0;
    while (a < want.size() || b < got.size()) {
        size_t ea = want.find(L'\n', a), eb = got.find(L'\n', b);
        std::wstring lw = a < want.size() ? want.substr(a, ea - a) : L"", lg = b < got.size() ? got.substr(b, eb - b) : L"";
        if (lw != lg) diff += L"expected " + lw + L", got " + lg + L"\n";
        a = ea == std::wstring::npos ? want.size() : ea + 1;
        b = eb == std::wstring::npos ? got.size() : eb + 1;
    }
    return diff;
}

}  // namespace install::testcases
