// corvane.dll's engine on an in-memory machine: passwords and lockout, stamps, changes that
// wait for the next start, release modes, the schedule and the persistent state.
#include <gtest/gtest.h>

#include <cstring>

#include "control/core/CorvaneCtrl.h"
#include "control/core/CorvaneResults.h"
#include "outside/corvane/CoreEngine.h"
#include "outside/corvane/MemoryCoreStore.h"

namespace {

using corvane_core::CoreEngine;
using corvane_core::MemoryCoreStore;
using corvane_core::MemoryCoreSystem;
using corvane_ioctl::CORVANE_SYSTEMTIME;

class CoreEngineTest : public ::testing::Test {
public:
    CorvaneCtrl::Status Status() {
        CorvaneCtrl::Status s;
        EXPECT_EQ(CORVANE_S_OK, engine.GetStatus(s));
        return s;
    }
    CorvaneCtrl::Config Config() {
        CorvaneCtrl::Config c;
        EXPECT_EQ(CORVANE_S_OK, engine.GetConfig(c));
        return c;
    }
    // The page procedure: fresh records, a change, right hash and current stamp.
    template <typename Change>
    uint32_t Send(Change change, uint32_t hash = CoreEngine::HashPassword(L"bramble")) {
        CorvaneCtrl::Config config = Config();
        CorvaneCtrl::Status status = Status();
        change(config);
        config.passwordHash = hash;
        config.stamp = status.stamp;
        return engine.SetConfig(config);
    }
    void Restart(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 9, uint16_t minute = 0) {
        store.Restart();
        system.Set(year, month, day, hour, minute);
    }
    static bool SameTime(const CORVANE_SYSTEMTIME& a, const CORVANE_SYSTEMTIME& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }

    MemoryCoreStore store;
    MemoryCoreSystem system;
    CoreEngine engine{store, system};
    const uint32_t right = CoreEngine::HashPassword(L"bramble");
    const uint32_t wrong = CoreEngine::HashPassword(L"brambles");
};

TEST_F(CoreEngineTest, FreshMachineProtectsItsFixedDrivesAutomatically) {
    CorvaneCtrl::Status s = Status();
    std::vector<CorvaneCtrl::DriveInfo> drives;
    CorvaneCtrl::GetDriveInfos(s, drives);
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ('C', drives[0].letter);
    EXPECT_EQ('D', drives[1].letter);
    EXPECT_EQ(CORVANE_DRIVE_PRESENT | CORVANE_DRIVE_RESTORE_USED | CORVANE_DRIVE_AUTO_RESTORE, drives[0].flags);
    EXPECT_GT(drives[0].backupSize, 0u);
    EXPECT_LE(drives[0].backupFree, drives[0].backupSize);
    EXPECT_TRUE(s.flags & CORVANE_STATUS_RESTORE_IN_USE);
    EXPECT_TRUE(s.flags & CORVANE_STATUS_TURBO_AVAILABLE);
    EXPECT_FALSE(s.flags & CORVANE_STATUS_ANY_RELEASE);
    // Status and configuration list the same drives.
    CorvaneCtrl::Config c = Config();
    std::vector<CorvaneCtrl::DriveConfig> views;
    CorvaneCtrl::GetDriveConfigs(c, views);
    ASSERT_EQ(2u, views.size());
    EXPECT_EQ(2, views[0].GetIndex());
    EXPECT_EQ(3, views[1].GetIndex());
}

TEST_F(CoreEngineTest, HashPasswordIsStableAndTellsTextsApart) {
    EXPECT_EQ(CoreEngine::HashPassword(L"bramble"), CoreEngine::DefaultPasswordHash());
    EXPECT_NE(CoreEngine::HashPassword(L"bramble"), CoreEngine::HashPassword(L"Bramble"));
    EXPECT_NE(CoreEngine::HashPassword(L""), CoreEngine::HashPassword(L"\t"));
    EXPECT_EQ(2166136261u, CoreEngine::HashPassword(L""));  // FNV-1a offset basis: nothing fed
    // Known values: FNV-1a over the UTF-16LE bytes, the same on 16- and 32-bit wchar_t
    // (a character outside the BMP is fed as its surrogate pair).
    EXPECT_EQ(0x2b24d044u, CoreEngine::HashPassword(L"a"));
    EXPECT_EQ(0xb34a1daau, CoreEngine::HashPassword(L"\U0001F600"));
}

TEST_F(CoreEngineTest, EveryPasswordCheckSharesTheLockoutUntilTheNextStart) {
    // Each row: the operation used for the three wrong attempts.
    struct Case {
        const char* name;
        uint32_t (*attempt)(CoreEngineTest&, uint32_t hash);
    } const cases[] = {
        {"VerifyPassword", [](CoreEngineTest& t, uint32_t h) { return t.engine.VerifyPassword(h); }},
        {"ChangePassword", [](CoreEngineTest& t, uint32_t h) { return t.engine.ChangePassword(h, 77); }},
        {"SetProtectMode", [](CoreEngineTest& t, uint32_t h) { return t.engine.SetProtectMode(h, 1); }},
        {"SetConfig", [](CoreEngineTest& t, uint32_t h) { return t.Send([](CorvaneCtrl::Config&) {}, h); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart(2026, 3, 3);
        EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, c.attempt(*this, wrong));
        EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, c.attempt(*this, wrong));
        EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, c.attempt(*this, wrong));
        // Locked for the right password too, through every operation.
        EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, engine.VerifyPassword(right));
        EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, engine.SetProtectMode(right, 0));
        EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, Send([](CorvaneCtrl::Config& cfg) { CorvaneCtrl::SetTurboBoot(cfg, true); }));
        EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, engine.ChangePassword(right, 5));
        EXPECT_FALSE(Config().options & CORVANE_OPTION_TURBO_BOOT);  // nothing was applied
        // A new start clears it.
        Restart(2026, 3, 4);
        EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(right));
    }
}

TEST_F(CoreEngineTest, RightPasswordsDoNotUndoWrongOnes) {
    EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, engine.VerifyPassword(wrong));
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(right));
    EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, engine.VerifyPassword(wrong));
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(right));
    EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, engine.VerifyPassword(wrong));
}

TEST_F(CoreEngineTest, ChangePasswordTakesEffectAtOnce) {
    uint32_t next = CoreEngine::HashPassword(L"new secret");
    EXPECT_EQ(CORVANE_S_OK, engine.ChangePassword(right, next));
    EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, engine.VerifyPassword(right));
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(next));
    Restart(2026, 3, 3);
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(next));  // kept across starts
}

TEST_F(CoreEngineTest, SetConfigRefusesAStaleStampAndMovesTheStampOnSuccess) {
    CorvaneCtrl::Status before = Status();
    EXPECT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) { CorvaneCtrl::SetTurboBoot(c, true); }));
    CorvaneCtrl::Status after = Status();
    EXPECT_NE(before.stamp, after.stamp);

    CorvaneCtrl::Config stale = Config();
    CorvaneCtrl::SetCdromPolicy(stale, true);
    stale.passwordHash = right;
    stale.stamp = before.stamp;
    EXPECT_EQ(CORVANE_E_STALE_STAMP, engine.SetConfig(stale));
    EXPECT_EQ(0u, Config().options & CORVANE_OPTION_CDROM_MASK);
    EXPECT_EQ(after.stamp, Status().stamp);
    // A stale stamp is not a wrong password.
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(right));
    EXPECT_EQ(0u, store.wrongPasswords);
}

TEST_F(CoreEngineTest, OptionsAndScheduleApplyAtOnceOnlyWhereMarked) {
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  CorvaneCtrl::SetCdromPolicy(c, true);
                  c.options |= 0x100;  // not in the mask: must be ignored
                  c.scheduleInterval = 20; // changeFlags bit 1 not set: must be ignored
              }));
    CorvaneCtrl::Config c = Config();
    EXPECT_EQ(CORVANE_OPTION_CDROM_BLOCKED, c.options);
    EXPECT_EQ(0u, c.scheduleInterval);

    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& cfg) {
                  cfg.changeFlags |= CORVANE_CHANGE_SCHEDULE;
                  cfg.scheduleFlags = CORVANE_SCHEDULE_SET;
                  cfg.scheduleWeekdays = 0x0C0C;
              }));
    EXPECT_EQ(0x0C0C, Config().scheduleWeekdays);

    EXPECT_EQ(CORVANE_E_INVALID_ARGUMENT, Send([](CorvaneCtrl::Config& cfg) {
                  cfg.changeFlags |= CORVANE_CHANGE_SCHEDULE;
                  cfg.scheduleInterval = 366;
              }));
    EXPECT_EQ(0x0C0C, Config().scheduleWeekdays);
}

TEST_F(CoreEngineTest, DriveChangesWaitForTheNextStart) {
    CORVANE_SYSTEMTIME installed = Status().drives[3].restorePointTime;
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  CorvaneCtrl::DriveConfig c_(&c, 2), d(&c, 3);
                  CorvaneCtrl::SetAutoRestore(c_, false);  // C: manual
                  CorvaneCtrl::RequestRestorePoint(d);     // D: new restore point
              }));
    // In force: unchanged. Configuration: as it will be.
    CorvaneCtrl::Status s = Status();
    EXPECT_TRUE(s.drives[2].flags & CORVANE_DRIVE_AUTO_RESTORE);
    EXPECT_TRUE(SameTime(installed, s.drives[3].restorePointTime));
    CorvaneCtrl::Config c = Config();
    EXPECT_FALSE(c.drives[2].flags & CORVANE_DRIVE_AUTO_RESTORE);
    EXPECT_TRUE(c.drives[3].flags & CORVANE_DRIVE_RESTORE_POINT);

    // Choosing automatic again before the restart leaves automatic after it.
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& cfg) {
                  CorvaneCtrl::SetAutoRestore(CorvaneCtrl::DriveConfig(&cfg, 2), true);
              }));
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& cfg) {
                  CorvaneCtrl::SetAutoRestore(CorvaneCtrl::DriveConfig(&cfg, 2), false);
              }));

    Restart(2026, 3, 5, 8, 15);
    s = Status();
    EXPECT_FALSE(s.drives[2].flags & CORVANE_DRIVE_AUTO_RESTORE);
    EXPECT_TRUE(s.drives[2].flags & CORVANE_DRIVE_RESTORE_USED);
    EXPECT_EQ(2026, s.drives[3].restorePointTime.wYear);
    EXPECT_EQ(5, s.drives[3].restorePointTime.wDay);
    EXPECT_EQ(15, s.drives[3].restorePointTime.wMinute);
    EXPECT_FALSE(Config().drives[3].flags & CORVANE_DRIVE_RESTORE_POINT);  // done, not again
    // Automatic drives are restored at every start; the manual one is not.
    EXPECT_EQ(5, s.drives[3].restoreTime.wDay);
    EXPECT_NE(5, s.drives[2].restoreTime.wDay);
}

TEST_F(CoreEngineTest, PageSequencesKeepTheStampTheyReadFirst) {
    // Turbo page: SetProtectMode(3) between reading the status and SetConfig. Security page:
    // WriteExtData in the same place. Neither may make the SetConfig that follows stale.
    CorvaneCtrl::Config config = Config();
    CorvaneCtrl::Status status = Status();
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_TURBO_SETUP));
    CORVANE_EXTDATA ext{};
    ext.kind = CORVANE_EXTDATA_KIND;
    ext.stamp = Status().stamp;
    ASSERT_EQ(CORVANE_S_OK, engine.ReadExtData(ext));
    ext.data.storageSecurity = 1;
    ASSERT_EQ(CORVANE_S_OK, engine.WriteExtData(ext));
    CorvaneCtrl::SetTurboBoot(config, true);
    config.passwordHash = right;
    config.stamp = status.stamp;
    EXPECT_EQ(CORVANE_S_OK, engine.SetConfig(config));
    EXPECT_TRUE(Config().options & CORVANE_OPTION_TURBO_BOOT);
}

TEST_F(CoreEngineTest, ADriveLeavesBothListsAtTheNextStart) {
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  c.changeFlags |= CORVANE_CHANGE_DRIVES;
                  c.drives[3].mask = CORVANE_DRIVE_PRESENT;
                  c.drives[3].flags &= ~CORVANE_DRIVE_PRESENT;
              }));
    // Until then status and configuration still list the same drives.
    EXPECT_TRUE(Status().drives[3].flags & CORVANE_DRIVE_PRESENT);
    EXPECT_TRUE(Config().drives[3].flags & CORVANE_DRIVE_PRESENT);
    Restart(2026, 3, 3);
    EXPECT_EQ(0u, Status().drives[3].flags);
    EXPECT_EQ(0u, Config().drives[3].flags);
    EXPECT_TRUE(Status().drives[2].flags & CORVANE_DRIVE_PRESENT);
}

TEST_F(CoreEngineTest, RestoreRequestRunsAtTheNextStart) {
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  CorvaneCtrl::SetAutoRestore(CorvaneCtrl::DriveConfig(&c, 2), false);
              }));
    Restart(2026, 3, 3);
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  CorvaneCtrl::RequestRestore(CorvaneCtrl::DriveConfig(&c, 2));
              }));
    EXPECT_NE(9, Status().drives[2].restoreTime.wDay);
    Restart(2026, 3, 9);
    EXPECT_EQ(9, Status().drives[2].restoreTime.wDay);
}

TEST_F(CoreEngineTest, ProtectModesTakeEffectAtTheNextStart) {
    struct Case {
        const char* name;
        uint32_t flagsBefore;
        std::vector<int32_t> modes;
        uint32_t releaseAfterStart;
    } const cases[] = {
        {"release", 0, {1}, CORVANE_STATUS_RELEASE},
        {"one-day release", 0, {2}, CORVANE_STATUS_DAY_RELEASE},
        {"release then back before the restart", 0, {1, 0}, 0},
        {"back to protection from release", CORVANE_STATUS_RELEASE, {0}, 0},
        {"from one-day to full release", CORVANE_STATUS_DAY_RELEASE, {1}, CORVANE_STATUS_RELEASE},
        {"turbo set-up keeps the release state", CORVANE_STATUS_RELEASE, {3}, CORVANE_STATUS_RELEASE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(CORVANE_S_OK, engine.Reset());
        Restart(2026, 3, 2);
        ASSERT_EQ(CORVANE_S_OK, engine.Preset([&c, this](corvane_core::CoreState& s) {
                      s.statusFlags |= c.flagsBefore;
                      s.releaseStart = system.now;
                  }));
        for (int32_t mode : c.modes) ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, mode));
        EXPECT_EQ(c.flagsBefore, Status().flags & CORVANE_STATUS_ANY_RELEASE);
        Restart(2026, 3, 2, 11);
        EXPECT_EQ(c.releaseAfterStart, Status().flags & CORVANE_STATUS_ANY_RELEASE);
    }
    EXPECT_EQ(CORVANE_E_UNKNOWN_MODE, engine.SetProtectMode(right, 4));
    EXPECT_EQ(CORVANE_E_UNKNOWN_MODE, engine.SetProtectMode(right, -1));
}

TEST_F(CoreEngineTest, OneDayReleaseEndsOneDayAfterItStarted) {
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_DAY_RELEASE));
    Restart(2026, 3, 10, 14, 30);
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_DAY_RELEASE);
    system.Set(2026, 3, 11, 14, 29);
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_DAY_RELEASE);
    system.Set(2026, 3, 11, 14, 30);  // checked on GetStatus, no restart needed
    EXPECT_FALSE(Status().flags & CORVANE_STATUS_DAY_RELEASE);

    // Also ended by a start that comes later than a day.
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_DAY_RELEASE));
    Restart(2026, 3, 12, 9);
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_DAY_RELEASE);
    Restart(2026, 3, 14, 9);
    CorvaneCtrl::Status s = Status();
    EXPECT_FALSE(s.flags & CORVANE_STATUS_ANY_RELEASE);
    EXPECT_EQ(14, s.drives[2].restoreTime.wDay);  // protected again at that start
}

TEST_F(CoreEngineTest, RebuiltBootRecordFlagLastsUntilTheNextStart) {
    ASSERT_EQ(CORVANE_S_OK, engine.Preset([](corvane_core::CoreState& s) {
                  s.statusFlags |= CORVANE_STATUS_MBR_REGENERATED;
              }));
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_MBR_REGENERATED);
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_MBR_REGENERATED);  // every program start offers it
    Restart(2026, 3, 3);
    EXPECT_FALSE(Status().flags & CORVANE_STATUS_MBR_REGENERATED);
}

TEST_F(CoreEngineTest, ReleaseStopsRestoresAtStart) {
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_RELEASE));
    Restart(2026, 3, 20);
    Restart(2026, 3, 21);
    EXPECT_NE(21, Status().drives[2].restoreTime.wDay);
}

TEST_F(CoreEngineTest, ScheduleRestoresManualDrivesOnTheFirstStartOfADueDay) {
    auto schedule = [this](uint16_t weekdays, uint64_t monthDays, uint16_t interval) {
        ASSERT_EQ(CORVANE_S_OK, engine.Reset());
        Restart(2026, 2, 1);  // a Sunday
        ASSERT_EQ(CORVANE_S_OK, Send([&](CorvaneCtrl::Config& c) {
                      CorvaneCtrl::SetAutoRestore(CorvaneCtrl::DriveConfig(&c, 3), false);
                      c.changeFlags |= CORVANE_CHANGE_SCHEDULE;
                      c.scheduleFlags = CORVANE_SCHEDULE_SET;
                      c.scheduleWeekdays = weekdays;
                      c.scheduleMonthDays = monthDays;
                      c.scheduleInterval = interval;
                  }));
    };
    auto restoredAt = [this](uint16_t month, uint16_t day, uint16_t hour) {
        Restart(2026, month, day, hour);
        auto t = Status().drives[3].restoreTime;
        return t.wMonth == month && t.wDay == day && t.wHour == hour;
    };
    struct Case {
        const char* name;
        uint16_t weekdays;
        uint64_t monthDays;
        uint16_t interval;
        uint16_t month, day;
        bool restored;
    } const cases[] = {
        {"weekly Monday+Friday on a Monday", 0x0C0C, 0, 0, 2, 2, true},
        {"weekly Monday+Friday on a Tuesday", 0x0C0C, 0, 0, 2, 3, false},
        {"daily as the page writes it", 0x3FFF, 0, 0, 2, 4, true},
        {"daily as the page reads it", 0x1555, 0, 0, 2, 7, true},
        {"monthly day 1 and 31: day 31", 0, 0xC00000000000000Cull, 0, 3, 31, true},
        {"monthly day 31 falls on Feb 28", 0, 0xC000000000000000ull, 0, 2, 28, true},
        {"monthly day 31 not on Feb 27", 0, 0xC000000000000000ull, 0, 2, 27, false},
        {"every 5 days: day 6 counts 5", 0, 0, 5, 2, 6, true},
        {"every 5 days: day 5 counts 4", 0, 0, 5, 2, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        schedule(c.weekdays, c.monthDays, c.interval);
        EXPECT_EQ(c.restored, restoredAt(c.month, c.day, 8));
        if (c.restored) {
            EXPECT_FALSE(restoredAt(c.month, c.day, 12));  // not on a second start that day
        }
    }
    // Automatic drives are restored at every start whatever the schedule says.
    schedule(0x0C0C, 0, 0);
    Restart(2026, 2, 3, 8);
    EXPECT_EQ(3, Status().drives[2].restoreTime.wDay);
}

TEST_F(CoreEngineTest, ExtDataNeedsKindFiveAndTheCurrentStampAndKeepsAll512Bytes) {
    CORVANE_EXTDATA ext{};
    ext.kind = CORVANE_EXTDATA_KIND;
    ext.stamp = Status().stamp;
    auto* bytes = reinterpret_cast<uint8_t*>(&ext.data);
    for (size_t i = 0; i < sizeof ext.data; ++i) bytes[i] = static_cast<uint8_t>(255 - i);
    ASSERT_EQ(CORVANE_S_OK, engine.WriteExtData(ext));
    EXPECT_EQ(ext.stamp, Status().stamp);  // the pages send SetConfig with the stamp read before

    struct Case {
        const char* name;
        uint32_t kind;
        int stampDelta;
        uint32_t result;
    } const cases[] = {
        {"current", CORVANE_EXTDATA_KIND, 0, CORVANE_S_OK},
        {"wrong kind", 4, 0, CORVANE_E_INVALID_ARGUMENT},
        {"stale stamp", CORVANE_EXTDATA_KIND, -1, CORVANE_E_STALE_STAMP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CORVANE_EXTDATA in{};
        in.kind = c.kind;
        in.stamp = Status().stamp + c.stampDelta;
        EXPECT_EQ(c.result, engine.ReadExtData(in));
        if (c.result == CORVANE_S_OK) {
            EXPECT_EQ(0, std::memcmp(&in.data, &ext.data, sizeof ext.data));
        }
        CORVANE_EXTDATA out = in;
        std::memset(&out.data, 0, sizeof out.data);
        EXPECT_EQ(c.result, engine.WriteExtData(out));
    }
}

TEST_F(CoreEngineTest, BootCacheFollowsTurboBoot) {
    EXPECT_EQ(CORVANE_E_TURBO_UNAVAILABLE, engine.CreateCache([] { return true; }));
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) { CorvaneCtrl::SetTurboBoot(c, true); }));
    EXPECT_EQ(CORVANE_E_CALL_FAILED, engine.CreateCache([] { return false; }));
    EXPECT_FALSE(Status().flags & CORVANE_STATUS_CACHE_READY);
    ASSERT_EQ(CORVANE_S_OK, engine.CreateCache([] { return true; }));
    CorvaneCtrl::Status s = Status();
    EXPECT_TRUE(s.flags & CORVANE_STATUS_CACHE_READY);
    EXPECT_FALSE(s.flags & CORVANE_STATUS_CACHE_BUILDING);
    EXPECT_EQ(corvane_core::kDefaultCacheRating, s.cacheRating);
    // Turbo set-up has the cache rebuilt after the next start.
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_TURBO_SETUP));
    EXPECT_TRUE(Status().flags & CORVANE_STATUS_CACHE_READY);
    Restart(2026, 3, 3);
    EXPECT_FALSE(Status().flags & CORVANE_STATUS_CACHE_READY);
    ASSERT_EQ(CORVANE_S_OK, engine.CreateCache(nullptr));
    ASSERT_EQ(CORVANE_S_OK, engine.DeleteCache());
    s = Status();
    EXPECT_FALSE(s.flags & CORVANE_STATUS_CACHE_READY);
    EXPECT_EQ(0u, s.cacheRating);
    // No cache while a release is in force.
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(right, CORVANE_MODE_RELEASE));
    Restart(2026, 3, 4);
    EXPECT_EQ(CORVANE_E_RELEASED, engine.CreateCache(nullptr));
}

TEST_F(CoreEngineTest, StateSurvivesRestartsAndDamageIsReportedNotReset) {
    uint32_t next = CoreEngine::HashPassword(L"x");
    ASSERT_EQ(CORVANE_S_OK, engine.ChangePassword(right, next));
    // A second engine (another process) over the same machine sees the change.
    CoreEngine other(store, system);
    EXPECT_EQ(CORVANE_S_OK, other.VerifyPassword(next));

    store.state.resize(store.state.size() - 1);  // a truncated state
    CorvaneCtrl::Status s;
    EXPECT_EQ(CORVANE_E_DATA_CORRUPTED, engine.GetStatus(s));
    EXPECT_EQ(CORVANE_E_DATA_CORRUPTED, engine.VerifyPassword(right));  // no silent default password
    store.faults.FailAlways("Load", 5);
    EXPECT_EQ(CORVANE_E_DATA_UNREADABLE, engine.GetStatus(s));
}

TEST_F(CoreEngineTest, StoreFailuresAreReportedAndAStartIsRetried) {
    CORVANE_SYSTEMTIME before = Status().drives[3].restoreTime;
    ASSERT_EQ(CORVANE_S_OK, Send([](CorvaneCtrl::Config& c) {
                  CorvaneCtrl::RequestRestorePoint(CorvaneCtrl::DriveConfig(&c, 3));
              }));
    Restart(2026, 4, 1);
    store.faults.FailNth("CreateSession", 1, 5);
    CorvaneCtrl::Status s;
    EXPECT_EQ(CORVANE_E_CALL_FAILED, engine.GetStatus(s));
    // The start was saved but not marked seen: the next call sees the same start once more,
    // and the requests are not applied twice (they were cleared with the first pass).
    s = Status();
    EXPECT_EQ(4, s.drives[3].restorePointTime.wMonth);
    EXPECT_FALSE(SameTime(before, s.drives[3].restoreTime));

    store.faults.FailNth("Save", 1, 5);
    EXPECT_EQ(CORVANE_E_CALL_FAILED, engine.ChangePassword(right, 99));
    EXPECT_EQ(CORVANE_S_OK, engine.VerifyPassword(right));  // the failed change did not stick
    store.faults.FailNth("Lock", 1, 5);
    EXPECT_EQ(CORVANE_E_CALL_FAILED, engine.VerifyPassword(right));
}

}  // namespace
