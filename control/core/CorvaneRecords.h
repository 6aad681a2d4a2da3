// The fixed-layout records exchanged with corvane.dll, and the wrapper classes and setters the
// control program changes them with. The byte layout is the contract with the library: every
// offset is pinned by a static_assert so the i686 build and the native test build agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Status flags (CORVANE_STATUS::flags). Either release mode is tested with the mask 0x30.
constexpr uint32_t CORVANE_STATUS_RELEASE = 0x10;
constexpr uint32_t CORVANE_STATUS_DAY_RELEASE = 0x20;
constexpr uint32_t CORVANE_STATUS_ANY_RELEASE = CORVANE_STATUS_RELEASE | CORVANE_STATUS_DAY_RELEASE;
constexpr uint32_t CORVANE_STATUS_RESTORE_IN_USE = 0x40;
constexpr uint32_t CORVANE_STATUS_TURBO_AVAILABLE = 0x1000;
constexpr uint32_t CORVANE_STATUS_CACHE_BUILDING = 0x2000;
constexpr uint32_t CORVANE_STATUS_CACHE_READY = 0x8000;
constexpr uint32_t CORVANE_STATUS_MBR_REGENERATED = 0x10000000;

// Drive flags, shared by CORVANE_DRIVEINFO::flags and the configuration's drive entries.
constexpr uint32_t CORVANE_DRIVE_RESTORE_USED = 0x1;
constexpr uint32_t CORVANE_DRIVE_AUTO_RESTORE = 0x2;
constexpr uint32_t CORVANE_DRIVE_PRESENT = 0x80;
constexpr uint32_t CORVANE_DRIVE_RESTORE_NOW = 0x100;     // restore at the next start
constexpr uint32_t CORVANE_DRIVE_RESTORE_POINT = 0x200;   // save a restore point at the next start

// CORVANE_CONFIG::changeFlags.
constexpr uint32_t CORVANE_CHANGE_OPTIONS = 0x1;
constexpr uint32_t CORVANE_CHANGE_SCHEDULE = 0x2;
constexpr uint32_t CORVANE_CHANGE_DRIVES = 0x4;

// CORVANE_CONFIG::options.
constexpr uint32_t CORVANE_OPTION_TURBO_BOOT = 0x2;
constexpr uint32_t CORVANE_OPTION_CDROM_MASK = 0xC0;
constexpr uint32_t CORVANE_OPTION_CDROM_BLOCKED = 0x40;

// CORVANE_CONFIG::scheduleFlags.
constexpr uint8_t CORVANE_SCHEDULE_SET = 0x1;

constexpr uint32_t CORVANE_DRIVE_COUNT = 26;
constexpr uint32_t CORVANE_EXTDATA_KIND = 5;
constexpr uint32_t CORVANE_EXTBLOCK_SIZE = 512;

namespace corvane_ioctl {

// Same layout as the Windows SYSTEMTIME, so Win32 code may copy one into the other.
struct CORVANE_SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

struct CORVANE_DRIVEINFO {
    uint8_t reserved0[5];
    uint8_t letter;              // ASCII drive letter
    uint8_t reserved6[2];
    uint32_t flags;              // CORVANE_DRIVE_*
    uint8_t reserved12[20];
    uint64_t backupSize;         // bytes
    uint64_t backupFree;         // bytes
    CORVANE_SYSTEMTIME restorePointTime;
    CORVANE_SYSTEMTIME restoreTime;
};

struct CORVANE_STATUS {
    uint32_t flags;              // CORVANE_STATUS_*
    uint8_t reserved4[12];
    uint32_t stamp;
    uint32_t cacheRating;
    CORVANE_DRIVEINFO drives[CORVANE_DRIVE_COUNT];
};

struct CORVANE_DRIVECONFIG {
    uint8_t reserved0[8];
    uint32_t mask;               // bits of flags that were changed
    uint32_t flags;              // CORVANE_DRIVE_*
};

struct CORVANE_CONFIG {
    uint32_t passwordHash;
    uint32_t stamp;
    uint32_t changeFlags;        // CORVANE_CHANGE_*
    uint32_t optionMask;
    uint32_t options;            // CORVANE_OPTION_*
    uint8_t reserved20[4];
    uint8_t scheduleFlags;
    uint8_t reserved25[1];
    uint16_t scheduleWeekdays;   // two bits per weekday, Sunday at bits 12-13 ... Saturday at 0-1
    uint8_t reserved28[4];
    uint64_t scheduleMonthDays;  // day d at bits 2d and 2d+1
    uint16_t scheduleInterval;   // every N days, 0 = not this kind
    uint8_t reserved42[6];
    CORVANE_DRIVECONFIG drives[CORVANE_DRIVE_COUNT];
};

// The 512-byte extended settings block. The power page owns bytes 0-19, the security page
// bytes 20-31; the tail belongs to nobody and goes back exactly as read.
struct CORVANE_EXTBLOCK {
    uint32_t powerMode;          // 0 none, 1 shut down, 2 restart
    CORVANE_SYSTEMTIME powerTime;
    uint32_t blockWindowsUpdate;
    uint32_t storageBlocked;
    uint32_t storageSecurity;
    uint8_t reserved32[480];
};

struct CORVANE_EXTDATA {
    uint32_t kind;               // always CORVANE_EXTDATA_KIND
    uint32_t stamp;
    CORVANE_EXTBLOCK data;
};

static_assert(sizeof(CORVANE_SYSTEMTIME) == 16, "SYSTEMTIME layout");
static_assert(offsetof(CORVANE_DRIVEINFO, letter) == 5, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_DRIVEINFO, flags) == 8, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_DRIVEINFO, backupSize) == 32, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_DRIVEINFO, backupFree) == 40, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_DRIVEINFO, restorePointTime) == 48, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_DRIVEINFO, restoreTime) == 64, "DRIVEINFO layout");
static_assert(sizeof(CORVANE_DRIVEINFO) == 80, "DRIVEINFO layout");
static_assert(offsetof(CORVANE_STATUS, stamp) == 16, "STATUS layout");
static_assert(offsetof(CORVANE_STATUS, cacheRating) == 20, "STATUS layout");
static_assert(offsetof(CORVANE_STATUS, drives) == 24, "STATUS layout");
static_assert(sizeof(CORVANE_STATUS) == 2104, "STATUS layout");
static_assert(offsetof(CORVANE_DRIVECONFIG, mask) == 8, "drive entry layout");
static_assert(offsetof(CORVANE_DRIVECONFIG, flags) == 12, "drive entry layout");
static_assert(sizeof(CORVANE_DRIVECONFIG) == 16, "drive entry layout");
static_assert(offsetof(CORVANE_CONFIG, stamp) == 4, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, changeFlags) == 8, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, optionMask) == 12, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, options) == 16, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, scheduleFlags) == 24, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, scheduleWeekdays) == 26, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, scheduleMonthDays) == 32, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, scheduleInterval) == 40, "CONFIG layout");
static_assert(offsetof(CORVANE_CONFIG, drives) == 48, "CONFIG layout");
static_assert(sizeof(CORVANE_CONFIG) == 464, "CONFIG layout");
static_assert(offsetof(CORVANE_EXTBLOCK, powerTime) == 4, "ext block layout");
static_assert(offsetof(CORVANE_EXTBLOCK, blockWindowsUpdate) == 20, "ext block layout");
static_assert(offsetof(CORVANE_EXTBLOCK, storageBlocked) == 24, "ext block layout");
static_assert(offsetof(CORVANE_EXTBLOCK, storageSecurity) == 28, "ext block layout");
static_assert(sizeof(CORVANE_EXTBLOCK) == CORVANE_EXTBLOCK_SIZE, "ext block layout");
static_assert(offsetof(CORVANE_EXTDATA, stamp) == 4, "EXTDATA layout");
static_assert(offsetof(CORVANE_EXTDATA, data) == 8, "EXTDATA layout");
static_assert(sizeof(CORVANE_EXTDATA) == 520, "EXTDATA layout");

}  // namespace corvane_ioctl

// The extended-data request is named without its namespace throughout the program.
using corvane_ioctl::CORVANE_EXTDATA;
using corvane_ioctl::CORVANE_EXTBLOCK;

// A byte range of the extended block that one page owns and overwrites.
struct CorvaneExtFields {
    uint32_t offset;
    uint32_t length;
};
constexpr CorvaneExtFields CORVANE_EXT_POWER_FIELDS = {0, 20};     // powerMode, powerTime
constexpr CorvaneExtFields CORVANE_EXT_SECURITY_FIELDS = {20, 12}; // update block, storage x2
