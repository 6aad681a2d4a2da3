// Everything corvane.dll keeps across system starts, and its byte encoding. The encoding is
// explicit little-endian so the state written by one build reads back in another.
#pragma once

#include <cstdint>
#include <vector>

#include "control/core/CorvaneRecords.h"

namespace corvane_core {

using corvane_ioctl::CORVANE_SYSTEMTIME;

struct DriveState {
    uint32_t flags = 0;           // CORVANE_DRIVE_RESTORE_USED | AUTO_RESTORE | PRESENT, in force
    uint64_t backupSize = 0;
    uint64_t backupFree = 0;
    CORVANE_SYSTEMTIME restorePointTime{};
    CORVANE_SYSTEMTIME restoreTime{};
    uint32_t pendingMask = 0;     // mode bits (0x83) to change at the next start ...
    uint32_t pendingFlags = 0;    // ... and their new values
    uint32_t pendingRequests = 0; // CORVANE_DRIVE_RESTORE_NOW / RESTORE_POINT for the next start
};

// What SetProtectMode asked for, carried out at the next start.
enum class PendingMode : int32_t { None = -1, Protect = 0, Release = 1, DayRelease = 2, TurboSetup = 3 };

struct CoreState {
    uint32_t statusFlags = 0;     // RELEASE, DAY_RELEASE, TURBO_AVAILABLE, CACHE_*, MBR_REGENERATED
    uint32_t stamp = 1;
    uint32_t cacheRating = 0;
    uint32_t passwordHash = 0;
    uint32_t options = 0;
    uint8_t scheduleFlags = 0;
    uint16_t scheduleWeekdays = 0;
    uint64_t scheduleMonthDays = 0;
    uint16_t scheduleInterval = 0;
    DriveState drives[CORVANE_DRIVE_COUNT];
    CORVANE_EXTBLOCK ext{};
    PendingMode pendingMode = PendingMode::None;
    CORVANE_SYSTEMTIME releaseStart{};          // when the one-day release came into force
    CORVANE_SYSTEMTIME lastStart{};             // the latest system start seen
    CORVANE_SYSTEMTIME lastScheduledRestore{};  // the day of the latest scheduled restore
};

std::vector<uint8_t> EncodeState(const CoreState& state);
// False when the bytes are not a state of this format (wrong magic, version or length).
bool DecodeState(const std::vector<uint8_t>& bytes, CoreState& state);

// Calendar helpers on local times (the date parts only, or date and time to the second).
int64_t DayNumber(const CORVANE_SYSTEMTIME& t);      // days since 1970-01-01
int64_t SecondNumber(const CORVANE_SYSTEMTIME& t);   // seconds since 1970-01-01 00:00:00
int DayOfWeek(const CORVANE_SYSTEMTIME& t);          // 0 = Sunday
int DaysInMonth(int year, int month);
bool IsZeroTime(const CORVANE_SYSTEMTIME& t);

}  // namespace corvane_core
