#include <gtest/gtest.h>

#include "install/engine/SystemChecks.h"
#include "platform/memory/MemorySystemFacts.h"
#include "platform/ports/TextCodec.h"
#include "tests/native/install_app/TestLog.h"

namespace install {
namespace {

using platform::memory::MemoryDeviceSpec;
using platform::memory::MemorySystemFacts;
using testing_support::RecordingLog;

std::string Narrow(const std::wstring& s) { return platform::text::ToUtf8(s); }

TEST(PartitionStyleTest, SystemDriveFirstThenFirstPhysicalDisk) {
    struct Row {
        const char* name;
        uint32_t volumeOpenError, volumeIoctlError, diskOpenError, diskIoctlError;
        bool ok;
        int32_t style;
        const wchar_t* log;
    };
    const Row rows[] = {
        {"system drive answers", 0, 0, 0, 0, true, 1, L"Partition style is 1\n"},
        {"system drive cannot be opened, the first disk can", 5, 0, 0, 0, true, 2, L"Partition style is 2\n"},
        {"system drive does not answer, the first disk does", 0, 31, 0, 0, true, 2,
         L"DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 31Partition style is 2\n"},
        {"neither opens", 5, 0, 2, 0, false, -1, L"Partition Open Error : \\\\.\\PhysicalDrive0 2\n"},
        {"both fail the query", 0, 31, 0, 1117, false, -1,
         L"DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 31DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 1117"},
        {"no partition information anywhere counts as RAW", 0, 50, 0, 50, true, 2,
         L"DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 50DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 50"
         L"\nPartition information not supported, taking style 2\n"},
        {"an unopenable disk after a volume without partition information", 0, 1, 5, 0, true, 2,
         L"DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : 1\nPartition information not supported, taking style 2\n"},
        {nullptr, 0, 0, 0, 0, false, 0, nullptr},
    };
    for (const Row* r = rows; r->name; ++r) {
        MemorySystemFacts facts;
        facts.systemFolder = L"D:\\Windows\\system32";
        facts.devices[L"\\\\.\\D:"] = MemoryDeviceSpec{r->volumeOpenError, r->volumeIoctlError, 1, 0};
        facts.devices[L"\\\\.\\PhysicalDrive0"] = MemoryDeviceSpec{r->diskOpenError, r->diskIoctlError, 2, 0};
        RecordingLog log;
        SystemChecks checks(facts, log);
        int32_t style = -1;
        EXPECT_EQ(checks.CheckPartitionStyle(style), r->ok) << r->name;
        EXPECT_EQ(style, r->style) << r->name;
        EXPECT_EQ(log.All(), r->log) << r->name;
        EXPECT_EQ(facts.opens[L"\\\\.\\D:"], 1) << r->name;
    }
}

TEST(CompressedVolumeTest, OneDriveDecidedByIoctlThenAttributes) {
    struct Row {
        const char* name;
        uint32_t openError, ioctlError;
        uint16_t format;
        bool attributesFail;
        uint32_t attributes;
        Compression expected;
    };
    const Row rows[] = {
        {"ioctl says not compressed", 0, 0, 0, false, 0x800, Compression::None},
        {"ioctl says compressed", 0, 0, 2, false, 0, Compression::Compressed},
        {"ioctl fails, attributes say compressed", 0, 50, 0, false, 0x810, Compression::Compressed},
        {"open fails, attributes say plain", 5, 0, 0, false, 0x10, Compression::None},
        {"open fails and attributes fail", 5, 0, 0, true, 0, Compression::Undetermined},
        {nullptr, 0, 0, 0, false, 0, Compression::None},
    };
    for (const Row* r = rows; r->name; ++r) {
        MemorySystemFacts facts;
        facts.driveTypes[L'E'] = platform::kDriveFixed;
        facts.devices[L"E:\\"] = MemoryDeviceSpec{r->openError, r->ioctlError, 0, r->format};
        if (r->attributesFail) facts.attributeErrors[L"E:\\"] = 21;
        else facts.attributes[L"E:\\"] = r->attributes;
        RecordingLog log;
        SystemChecks checks(facts, log);
        EXPECT_EQ(checks.CheckCompressed(L'E'), r->expected) << r->name;
    }
}

TEST(CompressedVolumeTest, UndeterminedDriveStopsTheInstall) {
    MemorySystemFacts facts;
    facts.AddFixedDrive(L'C');
    facts.driveTypes[L'D'] = platform::kDriveFixed;
    facts.devices[L"D:\\"] = MemoryDeviceSpec{5, 0, 0, 0};
    facts.attributeErrors[L"D:\\"] = 21;
    RecordingLog log;
    SystemChecks checks(facts, log);
    UserMessage message;
    EXPECT_TRUE(checks.FindCompressedVolume(message));
    EXPECT_EQ(message.id, 250u);
    EXPECT_EQ(message.style, 0x10u);
    EXPECT_EQ(facts.lastError, 10u);
    EXPECT_EQ(log.All(),
              L"Failed to open file : D:\\ - 5\nFailed to get file attributes : D:\\ - 21\n"
              L"Failed to determine D:\\ is compressed or not\n");
}

TEST(CompressedVolumeTest, OnlyFixedDrivesAreAskedAndNoneCompressedPasses) {
    MemorySystemFacts facts;
    facts.AddFixedDrive(L'C');
    facts.AddFixedDrive(L'F');
    facts.driveTypes[L'E'] = 5;  // CD-ROM: never opened
    RecordingLog log;
    SystemChecks checks(facts, log);
    UserMessage message;
    EXPECT_FALSE(checks.FindCompressedVolume(message));
    EXPECT_EQ(message.id, 0u);
    EXPECT_EQ(facts.lastError, 0u);
    EXPECT_EQ(facts.opens.count(L"E:\\"), 0u);
    EXPECT_EQ(facts.opens[L"F:\\"], 1);
}

TEST(FixedDrivesTest, CountStartsAtCButTheNthDriveCountsFromA) {
    MemorySystemFacts facts;
    facts.AddFixedDrive(L'A');  // odd, but possible: a fixed drive mapped to A:
    facts.AddFixedDrive(L'C');
    facts.AddFixedDrive(L'E');
    RecordingLog log;
    SystemChecks checks(facts, log);
    EXPECT_EQ(checks.CountFixedDrives(), 2);
    EXPECT_EQ(log.All(), L"Drive Letter C:\\\nDrive Letter E:\\\n");
    EXPECT_EQ(checks.NthFixedDrive(0), L'A');
    EXPECT_EQ(checks.NthFixedDrive(1), L'C');
    EXPECT_EQ(checks.NthFixedDrive(2), 0) << "2 is not below the count of 2";
    EXPECT_EQ(checks.NthFixedDrive(-1), 0);
}

TEST(FixedDrivesTest, ProtectableDriveCheckTable) {
    struct Row { const wchar_t* drives; int linkTargetDrive; bool ok; };
    const Row rows[] = {
        {L"C", 0, true}, {L"C", 1, false}, {L"CD", 1, true}, {L"CD", 2, false}, {L"", 0, false}, {nullptr, 0, false},
    };
    for (const Row* r = rows; r->drives; ++r) {
        MemorySystemFacts facts;
        for (const wchar_t* d = r->drives; *d; ++d) facts.AddFixedDrive(*d);
        RecordingLog log;
        SystemChecks checks(facts, log);
        UserMessage message;
        EXPECT_EQ(checks.CheckProtectableDrives(r->linkTargetDrive, message), r->ok) << Narrow(r->drives) << r->linkTargetDrive;
        EXPECT_EQ(message.id, r->ok ? 0u : 224u);
    }
}

}  // namespace
}  // namespace install
