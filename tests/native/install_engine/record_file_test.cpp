#include <gtest/gtest.h>

#include "tests/native/install_engine/EngineFixture.h"

namespace install {
namespace {

using platform::memory::MemoryPlatform;
using testing::Machine;

const std::wstring kFile = L"C:\\Rec\\Uninst.lst";

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

// One record of every kind the format knows, with texts of the shapes the writers produce.
UninstallRecordList EveryKind() {
    UninstallRecordList list;
    for (int kind = 0; kind <= kRecordLastKnown; ++kind)
        list.push_back({static_cast<uint8_t>(kind), L"text of kind " + std::to_wstring(kind)});
    list[kRecordVirtualDisk].text.clear();
    list[kRecordRegistryKey].text = L"80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9";
    list[kRecordFile].text = L"C:\\Program Files (x86)\\Talvoric\\HDD Corvane 9\\Corvane.exe";
    list[kRecordFolder].text = L"C:\\설치\\폴더";  // Korean paths are plain UTF-16 units
    return list;
}

TEST(RecordFile, RoundTripKeepsEveryRecordAndStoresNewestFirst) {
    struct Case {
        const char* name;
        UninstallRecordList list;
    } cases[] = {
        {"empty list", {}},
        {"one record with empty text", {{kRecordCore, L""}}},
        {"every kind", EveryKind()},
        {"longest text the file holds", {{kRecordExecute, std::wstring(kMaxRecordTextUnits, L'x')}}},
        {"text outside the BMP", {{kRecordFile, L"C:\\a\\\U0001F600.txt"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryPlatform pc;
        pc.files.PutFolder(L"C:\\Rec");
        WriteRecordFile(pc.files, kFile, c.list);
        ASSERT_TRUE(pc.files.HasFile(kFile));
        if (c.list.empty()) {
            EXPECT_TRUE(pc.files.Contents(kFile).empty());
        }

        UninstallRecordList read{{kRecordNone, L"stale entry that Read must drop"}};
        ReadRecordFile(pc.files, kFile, read);
        UninstallRecordList expected(c.list.rbegin(), c.list.rend());
        EXPECT_EQ(read, expected);
    }
}

TEST(RecordFile, BytesAreKindLengthAndUtf16LittleEndian) {
    UninstallRecordList list{{kRecordFolder, L"A"}, {kRecordService, L"\uAC00b"}};
    // Newest first: the service record, then the folder.
    EXPECT_EQ(EncodeRecords(list, true), Bytes({4, 2, 0, 0x00, 0xAC, 'b', 0, 0, 1, 0, 'A', 0}));
    EXPECT_EQ(EncodeRecords(list, false), Bytes({0, 1, 0, 'A', 0, 4, 2, 0, 0x00, 0xAC, 'b', 0}));
}

TEST(RecordFile, ReadStopsAtTheFirstIncompleteRecordAndKeepsTheOnesBefore) {
    const std::vector<uint8_t> whole = EncodeRecords({{kRecordFile, L"ab"}, {kRecordFolder, L"c"}}, false);
    // whole = [1,2,0,'a',0,'b',0] [0,1,0,'c',0]: 12 bytes.
    struct Case {
        size_t keep;
        size_t records;
    } cases[] = {
        {0, 0}, {1, 0}, {2, 0}, {3, 0}, {6, 0}, {7, 1}, {8, 1}, {10, 1}, {11, 1}, {12, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bytes kept: " + std::to_string(c.keep));
        UninstallRecordList read = DecodeRecords(whole.data(), c.keep);
        ASSERT_EQ(read.size(), c.records);
        if (c.records >= 1) {
            EXPECT_EQ(read[0], (UninstallRecord{kRecordFile, L"ab"}));
        }
        if (c.records == 2) {
            EXPECT_EQ(read[1], (UninstallRecord{kRecordFolder, L"c"}));
        }
    }
    // A length that promises more than the file holds ends the list there.
    EXPECT_TRUE(DecodeRecords(Bytes({1, 0xFF, 0xFF, 'a', 0}).data(), 5).empty());
}

TEST(RecordFile, TextTooLongForTheFileIsLeftOutNotCutShort) {
    // Stored with the low 16 bits of its length, a 65,537-unit path would read back as a
    // 1-unit one and the rest as garbage records; it must not be written at all.
    std::wstring longPath = L"C:\\" + std::wstring(kMaxRecordTextUnits, L'a');
    UninstallRecordList list{{kRecordFolder, L"C:\\kept"}, {kRecordFile, longPath}, {kRecordFile, L"C:\\kept\\f"}};
    EXPECT_FALSE(FitsRecordFile(list[1]));
    EXPECT_TRUE(FitsRecordFile(list[0]));

    MemoryPlatform pc;
    pc.files.PutFolder(L"C:\\Rec");
    WriteRecordFile(pc.files, kFile, list);
    UninstallRecordList read;
    ReadRecordFile(pc.files, kFile, read);
    EXPECT_EQ(read, (UninstallRecordList{{kRecordFile, L"C:\\kept\\f"}, {kRecordFolder, L"C:\\kept"}}));
}

TEST(RecordFile, WriteReplacesAnOldFileAndAppendAddsInListOrder) {
    MemoryPlatform pc;
    pc.files.PutFile(kFile, Bytes({1, 1, 0, 'x', 0}));
    WriteRecordFile(pc.files, kFile, {{kRecordFolder, L"C:\\A"}, {kRecordFile, L"C:\\A\\f"}});
    ASSERT_TRUE(AppendRecordFile(pc.files, kFile, {{kRecordFile, L"C:\\A\\new1"}, {kRecordFile, L"C:\\A\\new2"}}));

    UninstallRecordList read;
    ReadRecordFile(pc.files, kFile, read);
    EXPECT_EQ(read, (UninstallRecordList{{kRecordFile, L"C:\\A\\f"},
                                         {kRecordFolder, L"C:\\A"},
                                         {kRecordFile, L"C:\\A\\new1"},
                                         {kRecordFile, L"C:\\A\\new2"}}));
}

TEST(RecordFile, FilesThatCannotBeUsedGiveNoRecordsAndNoError) {
    MemoryPlatform pc;
    UninstallRecordList read{{kRecordFile, L"C:\\stale"}};
    ReadRecordFile(pc.files, L"C:\\Missing\\Uninst.lst", read);
    EXPECT_TRUE(read.empty());

    // The folder is missing: nothing is written and nothing is thrown.
    WriteRecordFile(pc.files, L"C:\\Missing\\Uninst.lst", {{kRecordFile, L"C:\\x"}});
    EXPECT_FALSE(pc.files.HasFile(L"C:\\Missing\\Uninst.lst"));

    pc.files.PutFile(kFile, EncodeRecords({{kRecordFile, L"C:\\x"}}, true));
    pc.faults.FailAlways("ReadFile", platform::kErrorSharingViolation);
    ReadRecordFile(pc.files, kFile, read);
    EXPECT_TRUE(read.empty());
}

TEST(GetInstallValue, FallsBackFromTalvoricToBrenloweToTheApplicationProfile) {
    const std::wstring talvoric = L"SOFTWARE\\Wow6432Node\\Talvoric\\Install\\HDD Corvane 9 Uninstall";
    const std::wstring brenlowe = L"SOFTWARE\\Wow6432Node\\Brenlowe\\Install\\HDD Corvane 9 Uninstall";
    const std::wstring profile = L"Software\\Talvoric\\Install\\HDD Corvane 9 Uninstall";
    struct Case {
        const char* name;
        bool inTalvoric, inBrenlowe, inProfile;
        const wchar_t* expected;
    } cases[] = {
        {"all three", true, true, true, L"talvoric"},
        {"older vendor key", false, true, true, L"brenlowe"},
        {"profile only", false, false, true, L"profile"},
        {"nowhere", false, false, false, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryPlatform pc;
        if (c.inTalvoric) pc.registry.PutValue(platform::kHkeyLocalMachine, talvoric, L"Path", platform::kRegSz, platform::RegStringBytes(L"talvoric"));
        if (c.inBrenlowe) pc.registry.PutValue(platform::kHkeyLocalMachine, brenlowe, L"Path", platform::kRegSz, platform::RegStringBytes(L"brenlowe"));
        if (c.inProfile) pc.registry.PutValue(platform::kHkeyCurrentUser, profile, L"Path", platform::kRegSz, platform::RegStringBytes(L"profile"));
        // A value of another name in the same key is not an answer.
        pc.registry.PutValue(platform::kHkeyLocalMachine, talvoric, L"InstallDirectory", platform::kRegSz, platform::RegStringBytes(L"other"));
        EXPECT_EQ(GetInstallValue(pc.registry, L"HDD Corvane 9", L"Path"), c.expected);
    }
}

}  // namespace
}  // namespace install
