#include <gtest/gtest.h>

#include "install/app/FileVersionInfo.h"
#include "platform/memory/MemoryVersionFiles.h"
#include "tests/native/install_app/TestLog.h"

namespace install {
namespace {

using platform::VersionFileEntry;
using platform::memory::MemoryVersionFiles;
using platform::memory::MemoryVersionResource;
using testing_support::RecordingLog;

MemoryVersionResource KoreanAndEnglish() {
    MemoryVersionResource r;
    r.versionMs = (9u << 16) | 0;
    r.versionLs = (47u << 16) | 3;
    r.translations = {{0x0412, 0x04b0}, {0x0409, 0x04b0}};
    r.strings[L"\\StringFileInfo\\041204b0\\CompanyName"] = L"\uD0C8\uBCF4\uB9AD";
    r.strings[L"\\StringFileInfo\\041204b0\\ProductVersion"] = L"9.0.47.3";
    r.strings[L"\\StringFileInfo\\040904b0\\ProductVersion"] = L"9.0.47.3-en";
    return r;
}

TEST(FileVersionTest, ReadsNumbersAndEveryTranslationInOrder) {
    MemoryVersionFiles files;
    files.resources[L"C:\\P\\Corvane.exe"] = KoreanAndEnglish();
    RecordingLog log;
    FileVersionInfo info;
    ASSERT_TRUE(ReadFileVersionInfo(files, log, L"C:\\P\\Corvane.exe", info));
    EXPECT_EQ(info.major, 9);
    EXPECT_EQ(info.minor, 0);
    EXPECT_EQ(info.build, 47);
    EXPECT_EQ(info.revision, 3);
    ASSERT_EQ(info.strings.size(), 2u);
    EXPECT_EQ(info.strings[0][kCompanyName], L"\uD0C8\uBCF4\uB9AD");
    EXPECT_EQ(info.strings[0][kProductVersion], L"9.0.47.3");
    EXPECT_EQ(info.strings[0][kFileDescription], L"");
    EXPECT_EQ(info.strings[1][kProductVersion], L"9.0.47.3-en");
    EXPECT_EQ(files.queries.size(), 20u) << "ten names for each of the two pairs";
    EXPECT_EQ(files.queries[0], L"\\StringFileInfo\\041204b0\\CompanyName");
    // Only non-empty values are logged, each with its length.
    EXPECT_EQ(log.All(), L"Company Name : \uD0C8\uBCF4\uB9AD (3)\nProduct Version : 9.0.47.3 (8)\n"
                         L"Product Version : 9.0.47.3-en (11)\n");
}

TEST(FileVersionTest, NoResourceGivesTheDefaultRecordOtherFailuresFail) {
    MemoryVersionFiles files;
    RecordingLog log;
    FileVersionInfo info;
    ASSERT_TRUE(ReadFileVersionInfo(files, log, L"C:\\P\\Corvane.exe", info));
    EXPECT_EQ(info.major, 1);
    EXPECT_EQ(info.build, 2017);
    EXPECT_EQ(info.revision, 113);
    EXPECT_EQ(info.strings[0][kProductVersion], L"9.0.47");
    EXPECT_EQ(info.strings[0][kInternalName], L"Corvane.exe");
    EXPECT_EQ(info.strings[0][kOriginalFilename], L"Corvane.exe");
    EXPECT_EQ(info.strings[0][kCompanyName], L"TALVORIC");
    EXPECT_EQ(log.All(), L"FileVerInfo:GetFileVersionInfoSize fail (1813)\n") << "nothing logged for the default record";

    files.resources[L"C:\\plain.exe"].sizeError = 1812;  // no resources at all: no version resource either
    FileVersionInfo plain;
    ASSERT_TRUE(ReadFileVersionInfo(files, log, L"C:\\plain.exe", plain));
    EXPECT_EQ(plain.strings[0][kProductVersion], L"9.0.47");

    files.resources[L"C:\\bad.exe"].sizeError = 5;
    files.resources[L"C:\\unreadable.exe"].readFails = true;
    log.texts.clear();
    FileVersionInfo untouched;
    EXPECT_FALSE(ReadFileVersionInfo(files, log, L"C:\\bad.exe", untouched));
    EXPECT_FALSE(ReadFileVersionInfo(files, log, L"C:\\unreadable.exe", untouched));
    EXPECT_TRUE(untouched.strings.empty());
    EXPECT_EQ(log.All(), L"FileVerInfo:GetFileVersionInfoSize fail (5)\nFileVerInfo::GetFileVersionInfo fail\n");
}

TEST(FileVersionTest, NoTranslationTableStillSucceedsWithAnEmptyMap) {
    MemoryVersionFiles files;
    MemoryVersionResource r;
    r.hasRoot = false;
    files.resources[L"C:\\x.exe"] = r;
    RecordingLog log;
    FileVersionInfo info;
    info.major = 7;  // numbers stay as they were without a root block
    ASSERT_TRUE(ReadFileVersionInfo(files, log, L"C:\\x.exe", info));
    EXPECT_EQ(info.major, 7);
    EXPECT_TRUE(info.strings.empty());
}

TEST(ProductVersionTest, DepthFirstSkipsUnreadableCopiesAndLinks) {
    MemoryVersionFiles files;
    files.folders[L"C:\\Pkg"] = {{L"loop", true, true}, {L"A", true, false}, {L"corvane.EXE", false, false}};
    files.folders[L"C:\\Pkg\\loop"] = {{L"Corvane.exe", false, false}};
    files.folders[L"C:\\Pkg\\A"] = {{L"B", true, false}};
    files.folders[L"C:\\Pkg\\A\\B"] = {{L"readme.txt", false, false}, {L"Corvane.exe", false, false}};
    files.resources[L"C:\\Pkg\\loop\\Corvane.exe"] = KoreanAndEnglish();
    files.resources[L"C:\\Pkg\\A\\B\\Corvane.exe"].readFails = true;  // skipped, the search goes on
    files.resources[L"C:\\Pkg\\corvane.EXE"] = KoreanAndEnglish();
    RecordingLog log;
    std::wstring version;
    ASSERT_TRUE(FindProductVersion(files, log, L"C:\\Pkg", L"Corvane.exe", version));
    EXPECT_EQ(version, L"9.0.47.3") << "the lowest translation number wins";
    EXPECT_TRUE(log.Contains(L"Product File : C:\\Pkg\\A\\B\\Corvane.exe\n"));
    EXPECT_TRUE(log.Contains(L"Product File : C:\\Pkg\\corvane.EXE\n"));
    EXPECT_FALSE(log.Contains(L"Product File : C:\\Pkg\\loop\\Corvane.exe\n"));
    EXPECT_EQ(log.texts.back(), L"Product Version : 9.0.47.3\n");
}

TEST(ProductVersionTest, TwoFoldersDeepWithoutResourceGivesTheDefaultVersion) {
    MemoryVersionFiles files;
    files.folders[L"C:\\Pkg"] = {{L"Client", true, false}};
    files.folders[L"C:\\Pkg\\Client"] = {{L"bin", true, false}};
    files.folders[L"C:\\Pkg\\Client\\bin"] = {{L"Corvane.exe", false, false}};
    RecordingLog log;
    std::wstring version;
    ASSERT_TRUE(FindProductVersion(files, log, L"C:\\Pkg", L"Corvane.exe", version));
    EXPECT_EQ(version, L"9.0.47");
    std::wstring none;
    EXPECT_FALSE(FindProductVersion(files, log, L"C:\\Pkg", L"Other.exe", none));
    EXPECT_FALSE(FindProductVersion(files, log, L"C:\\Missing", L"Corvane.exe", none));
    EXPECT_TRUE(none.empty());
}

TEST(VersionBoxTest, InstallerLineThenProductLine) {
    EXPECT_EQ(VersionBoxText(L"HDD Corvane 9", L"9.0.47"),
              L"Program Version : 1.4.122.484\n\nHDD Corvane 9 Version : 9.0.47");
    EXPECT_EQ(VersionBoxText(L"HDD Corvane 9", L""), L"Program Version : 1.4.122.484\n");
}

}  // namespace
}  // namespace install
