#include <gtest/gtest.h>

#include "install/app/InstallConfig.h"
#include "platform/memory/MemoryProfile.h"
#include "platform/ports/TextCodec.h"
#include "tests/native/install_app/InstallConfigCases.h"

namespace install {
namespace {

using platform::memory::MemoryProfile;

std::string Narrow(const std::wstring& text) { return platform::text::ToUtf8(text); }

TEST(InstallConfigTest, SharedCasesAgainstTheProfileModel) {
    for (const auto& c : testcases::ConfigCases()) {
        MemoryProfile profile;
        std::wstring diff = testcases::RunConfigCase(profile, L"C:\\Package", c,
            [&profile](const std::wstring& path, const std::string* bytes) {
                if (bytes) profile.SetFile(path, *bytes); else profile.RemoveFile(path);
            });
        EXPECT_TRUE(diff.empty()) << c.name << "\n" << Narrow(diff);
    }
}

TEST(InstallConfigTest, ParseProfileIntegerTable) {
    struct Row { const wchar_t* text; uint32_t value; };
    const Row rows[] = {
        {L"0", 0}, {L"17", 17}, {L"  42", 42}, {L"-1", 0xFFFFFFFFu}, {L"+8", 8}, {L"9x", 9}, {L"x9", 0},
        {L"0x1F", 0}, {L"4294967295", 0xFFFFFFFFu}, {L"4294967296", 0}, {L"-", 0}, {L"1 2", 1}, {nullptr, 0},
    };
    for (const Row* r = rows; r->text; ++r) EXPECT_EQ(ParseProfileInteger(r->text), r->value) << Narrow(r->text);
}

TEST(InstallConfigTest, FilesAreLookedForInTheProgramFolderOnly) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg\\");
    EXPECT_EQ(files.InstallInfoPath(), L"C:\\Pkg\\InstallInfo.ini");
    EXPECT_EQ(files.ExternalInfoPath(), L"C:\\Pkg\\InstallExternalInfo.ini");
    // A file of the same name elsewhere (say, the current directory) is not read.
    profile.SetFile(L"C:\\Work\\InstallInfo.ini", "[CorvaneInfo]\r\nDosMem=0\r\n");
    InstallOptions options;
    files.ReadAdvancedDefaults(options);
    EXPECT_EQ(options.m_nDosMem, 1);
}

TEST(InstallConfigTest, UpdateSessionTakesOverTheInstalledCopyKeepingThePackagesDecisions) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    profile.SetFile(files.InstallInfoPath(),
                    "[EtcInfo]\r\nUpdateSession=1\r\nDefaultReboot=1\r\nPackageTimeHigh=9\r\nPackageTimeLow=8\r\n"
                    "OneClickClient=1\r\nIgnoreUpdate=1\r\n[VDiskInfo]\r\nLinkTargetDrive=1\r\n"
                    "[ServerInfo]\r\nInstallNetworkFilter=1\r\n[CorvaneInfo]\r\nManualRecovery=0\r\n");
    const std::string installedCopy =
        "[EtcInfo]\r\nUpdateSession=0\r\nDefaultReboot=0\r\nPackageTimeHigh=1\r\nPackageTimeLow=1\r\nAutoDeleteDocuments=1\r\n"
        "[VDiskInfo]\r\nLinkTargetDrive=0\r\nVDisk1Path=Z:\\old\r\n[CorvaneInfo]\r\nManualRecovery=1\r\n";
    int copies = 0;
    InstallOptions options;
    int linkEx = -1;
    files.ReadPackageConfiguration(options, linkEx, [&] {
        ++copies;
        profile.SetFile(files.InstallInfoPath(), installedCopy);
        return true;
    });
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(options.m_nUpdateSession, 1);
    // Kept from the package's file:
    EXPECT_EQ(options.m_nDefaultReboot, 1);
    EXPECT_EQ(options.m_dwPackageTimeHigh, 9u);
    EXPECT_EQ(options.m_dwPackageTimeLow, 8u);
    EXPECT_EQ(options.m_nOneClickClient, 1);
    EXPECT_EQ(options.m_nIgnoreUpdate, 1);
    EXPECT_EQ(options.m_nLinkTargetDrive, 1);
    EXPECT_EQ(options.m_nInstallNetworkFilter, 1);
    // Taken from the installed copy:
    EXPECT_EQ(options.m_nManualRecovery, 1);
    EXPECT_EQ(options.m_nAutoDeleteDocuments, 1);
    EXPECT_EQ(options.m_strVDisk1Path, L"Z:\\old");
    EXPECT_EQ(linkEx, 0);
}

TEST(InstallConfigTest, FailedTakeOverWritesUpdateSessionOffAndKeepsTheValuesRead) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    profile.SetFile(files.InstallInfoPath(), "[EtcInfo]\r\nUpdateSession=1\r\nDefaultReboot=1\r\n");
    InstallOptions options;
    int linkEx = -1;
    files.ReadPackageConfiguration(options, linkEx, [] { return false; });
    EXPECT_EQ(options.m_nUpdateSession, 1);  // this run still is an update
    EXPECT_EQ(options.m_nDefaultReboot, 1);
    EXPECT_EQ(profile.ReadString(files.InstallInfoPath(), L"EtcInfo", L"UpdateSession", L"?", 16), L"0");
    EXPECT_EQ(profile.ReadString(files.InstallInfoPath(), L"EtcInfo", L"DefaultReboot", L"?", 16), L"1");
}

TEST(InstallConfigTest, ExternalUpdateSessionDoesNotDecideTheTakeOver) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    profile.SetFile(files.ExternalInfoPath(), "[EtcInfo]\r\nUpdateSession=1\r\n");
    int copies = 0;
    InstallOptions options;
    int linkEx = 0;
    files.ReadPackageConfiguration(options, linkEx, [&] { ++copies; return true; });
    files.ReadUserConfiguration(options);
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(options.m_nUpdateSession, 1);
    EXPECT_FALSE(profile.FileExists(files.InstallInfoPath()));
}

TEST(InstallConfigTest, WritingUpdateSessionOffCreatesAMissingFile) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    ASSERT_TRUE(files.WriteUpdateSessionOff());
    std::string bytes;
    ASSERT_TRUE(profile.GetFile(files.InstallInfoPath(), bytes));
    EXPECT_NE(bytes.find("[EtcInfo]\r\nUpdateSession=0\r\n"), std::string::npos) << bytes;
}

TEST(InstallConfigTest, BasicSetupRereadsTheAdvancedDefaults) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    profile.SetFile(files.InstallInfoPath(), "[CorvaneInfo]\r\nDosMem=0\r\nRecovSol=0\r\n");
    InstallOptions options;
    files.ReadAdvancedDefaults(options);
    options.m_nDosMem = 1;  // changed on the advanced page
    options.m_nDosMemFix = 1;
    files.ReadAdvancedDefaults(options);
    EXPECT_EQ(options.m_nDosMem, 0);
    EXPECT_EQ(options.m_nDosMemFix, 0);
    EXPECT_EQ(options.m_nRecovSol, 0);
}

TEST(InstallConfigTest, UnreadableFileGivesTheDefaults) {
    MemoryProfile profile;
    InstallConfigFiles files(profile, L"C:\\Pkg");
    profile.SetFile(files.InstallInfoPath(), "[EtcInfo]\r\nDefaultReboot=0\r\n");
    profile.faults.FailAlways("ReadString", 5);
    InstallOptions options;
    files.ReadInstallInfo(options);
    EXPECT_EQ(options.m_nDefaultReboot, 2);
}

TEST(IniModelTest, ParsingAndWritingFollowThePrivateProfileRules) {
    using platform::memory::IniDocument;
    IniDocument doc = IniDocument::Parse("top=1\n[A]\nx=1\n[broken\n[B]\r\n  k  =  v w  \r\n[b]\nk=second\n");
    EXPECT_EQ(doc.Find(L"B", L"K")->value, L"v w");
    EXPECT_EQ(doc.Find(L"B", L"k")->value, L"v w") << "only the first section of a name is searched";
    EXPECT_EQ(doc.Find(L"", L"top"), nullptr);     // keys before any section are not found by name
    doc.Set(L"b", L"new", L"  3");
    doc.Set(L"C", L"n", L"4");
    IniDocument again = IniDocument::Parse(doc.Serialize());
    EXPECT_EQ(again.Find(L"B", L"new")->value, L"3");
    EXPECT_EQ(again.Find(L"c", L"N")->value, L"4");
    EXPECT_EQ(again.Find(L"B", L"k")->value, L"v w");

    // Keys under an empty "[]" header stay apart from the section before it when written back.
    IniDocument empty = IniDocument::Parse(IniDocument::Parse("[A]\nx=1\n[]\nk=2\n").Serialize());
    EXPECT_EQ(empty.Find(L"A", L"k"), nullptr);
    EXPECT_NE(empty.Find(L"A", L"x"), nullptr);

    IniDocument unicode = IniDocument::Parse(testcases::Utf16File(L"[S]\r\nk=\uD55C\r\n"));
    unicode.Set(L"S", L"m", L"\uAE00");
    IniDocument reread = IniDocument::Parse(unicode.Serialize());
    EXPECT_EQ(reread.encoding, platform::memory::IniEncoding::Utf16Le);
    EXPECT_EQ(reread.Find(L"s", L"K")->value, L"\uD55C");
    EXPECT_EQ(reread.Find(L"s", L"M")->value, L"\uAE00");
}

}  // namespace
}  // namespace install
