// The CorvaneCtrl client: the not-initialised rule, one core object at a time, release once,
// and the extended-block read/write that keeps what the page does not own.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "control/core/CorvaneCtrl.h"
#include "control/core/CorvaneResults.h"
#include "control/core/testing/FakeCorvaneCore.h"

namespace {

using corvane_testing::FakeCorvaneCore;

int g_deletes = 0;
void CountingDelete(CORVANE_CORE*) { ++g_deletes; }

TEST(CorvaneCtrlClient, WithoutCoreEveryCallFailsAsNotInitialised) {
    CorvaneCtrl ctrl;
    CorvaneCtrl::Status status;
    CorvaneCtrl::Config config;
    CORVANE_EXTDATA ext{};
    CORVANE_EXTBLOCK block{};
    block.powerMode = 0x5A5A5A5A;
    EXPECT_FALSE(ctrl.IsLoaded());
    EXPECT_FALSE(ctrl.GetStatus(&status));
    EXPECT_FALSE(ctrl.GetConfig(&config));
    EXPECT_FALSE(ctrl.SetConfig(&config));
    EXPECT_FALSE(ctrl.VerifyPassword(1));
    EXPECT_FALSE(ctrl.ChangePassword(1, 2));
    EXPECT_FALSE(ctrl.SetProtectMode(1, 0));
    EXPECT_FALSE(ctrl.ReadExtData(&ext));
    EXPECT_FALSE(ctrl.WriteExtData(&ext));
    EXPECT_FALSE(ctrl.CreateCache([] { return true; }, 0));
    EXPECT_FALSE(ctrl.DeleteCache());
    EXPECT_FALSE(ctrl.ReadExtBlock(&block));
    EXPECT_EQ(0x5A5A5A5Au, block.powerMode);  // untouched on failure
    EXPECT_FALSE(ctrl.WriteExtBlock(block, CORVANE_EXT_POWER_FIELDS));
    EXPECT_EQ(0u, ctrl.HashPassword(L"bramble"));
    EXPECT_EQ(CORVANE_E_NOT_INITIALIZED, ctrl.GetLastResult());
#ifndef _WIN32
    EXPECT_FALSE(ctrl.Load());  // no DLL to load here
#endif
}

TEST(CorvaneCtrlClient, OneCoreAtATimeAndReleasedOnce) {
    g_deletes = 0;
    FakeCorvaneCore first, second;
    {
        CorvaneCtrl ctrl;
        ASSERT_TRUE(ctrl.Attach(first.Core(), CountingDelete));
        EXPECT_TRUE(ctrl.IsLoaded());
        EXPECT_FALSE(ctrl.Attach(second.Core(), CountingDelete));  // second load while a core exists
        EXPECT_FALSE(ctrl.Load());
        EXPECT_TRUE(ctrl.VerifyPassword(FakeCorvaneCore::HashOf(L"bramble")));
        EXPECT_EQ(1u, first.CountCalls("VerifyPassword"));
        EXPECT_EQ(0u, second.CountCalls("VerifyPassword"));

        ctrl.Release();
        ctrl.Release();
        EXPECT_EQ(1, g_deletes);
        EXPECT_FALSE(ctrl.IsLoaded());
        EXPECT_EQ(CORVANE_E_NOT_INITIALIZED, ctrl.GetLastResult());

        ASSERT_TRUE(ctrl.Attach(second.Core(), CountingDelete));  // after release a new core may come
    }
    EXPECT_EQ(2, g_deletes);  // the destructor released the second one
}

TEST(CorvaneCtrlClient, ForwardsResultsAndLastResultOfTheCore) {
    FakeCorvaneCore fake;
    CorvaneCtrl ctrl;
    ASSERT_TRUE(ctrl.Attach(fake.Core(), nullptr));
    uint32_t right = ctrl.HashPassword(L"bramble");
    EXPECT_EQ(FakeCorvaneCore::HashOf(L"bramble"), right);
    EXPECT_FALSE(ctrl.VerifyPassword(right + 1));
    EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, ctrl.GetLastResult());
    EXPECT_TRUE(ctrl.SetProtectMode(right, CORVANE_MODE_DAY_RELEASE));
    ASSERT_FALSE(fake.calls.empty());
    EXPECT_EQ("SetProtectMode", fake.calls.back().op);
    EXPECT_EQ(CORVANE_MODE_DAY_RELEASE, fake.calls.back().mode);
    fake.Fail("GetStatus", 0x8000000C, 1);
    CorvaneCtrl::Status status;
    EXPECT_FALSE(ctrl.GetStatus(&status));
    EXPECT_EQ(0x8000000Cu, ctrl.GetLastResult());
    EXPECT_TRUE(ctrl.GetStatus(&status));
    EXPECT_EQ(0u, fake.CountCalls("Reserved6"));
    ctrl.Release();
}

TEST(FakeCorvaneCore, LocksLikeTheLibraryAndAppliesWhatItIsSent) {
    FakeCorvaneCore fake;
    fake.AddDrive('C', CORVANE_DRIVE_RESTORE_USED);
    CorvaneCtrl ctrl;
    ASSERT_TRUE(ctrl.Attach(fake.Core(), nullptr));
    uint32_t right = ctrl.HashPassword(L"bramble");

    CorvaneCtrl::Config config;
    CorvaneCtrl::Status status;
    ASSERT_TRUE(ctrl.GetConfig(&config));
    ASSERT_TRUE(ctrl.GetStatus(&status));
    std::vector<CorvaneCtrl::DriveConfig> views;
    CorvaneCtrl::GetDriveConfigs(config, views);
    ASSERT_EQ(1u, views.size());
    CorvaneCtrl::RequestRestorePoint(views[0]);
    config.passwordHash = right;
    config.stamp = status.stamp;
    ASSERT_TRUE(ctrl.SetConfig(&config));
    ASSERT_EQ(1u, fake.sentConfigs.size());
    EXPECT_EQ(CORVANE_DRIVE_RESTORE_POINT, fake.sentConfigs[0].drives[2].mask);
    EXPECT_FALSE(ctrl.SetConfig(&config));  // the stamp moved on
    EXPECT_EQ(CORVANE_E_STALE_STAMP, ctrl.GetLastResult());

    for (int i = 0; i < 2; ++i) EXPECT_FALSE(ctrl.VerifyPassword(right + 1));
    EXPECT_EQ(CORVANE_E_WRONG_PASSWORD, ctrl.GetLastResult());
    EXPECT_FALSE(ctrl.ChangePassword(right + 1, 5));
    EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, ctrl.GetLastResult());
    EXPECT_FALSE(ctrl.VerifyPassword(right));
    EXPECT_EQ(CORVANE_E_PASSWORD_LOCKED, ctrl.GetLastResult());
    fake.SimulateRestart();
    EXPECT_TRUE(ctrl.VerifyPassword(right));
    ctrl.Release();
}

// Fills every byte of the fake's block with a distinct pattern.
void FillPattern(CORVANE_EXTBLOCK& block) {
    auto* bytes = reinterpret_cast<uint8_t*>(&block);
    for (size_t i = 0; i < sizeof block; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
}

TEST(CorvaneCtrlClient, WriteExtBlockReplacesOnlyTheOwnedFields) {
    struct Case {
        const char* name;
        CorvaneExtFields fields;
    } const cases[] = {
        {"power page", CORVANE_EXT_POWER_FIELDS},
        {"security page", CORVANE_EXT_SECURITY_FIELDS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCorvaneCore fake;
        fake.status.stamp = 41;
        FillPattern(fake.ext);
        CORVANE_EXTBLOCK before = fake.ext;
        CorvaneCtrl ctrl;
        ASSERT_TRUE(ctrl.Attach(fake.Core(), nullptr));

        CORVANE_EXTBLOCK page;
        std::memset(&page, 0xEE, sizeof page);  // the page's copy: only its own fields may land
        ASSERT_TRUE(ctrl.WriteExtBlock(page, c.fields));
        ASSERT_EQ(1u, fake.writtenExt.size());
        EXPECT_EQ(CORVANE_EXTDATA_KIND, fake.writtenExt[0].kind);
        EXPECT_EQ(41u, fake.writtenExt[0].stamp);
        const auto* after = reinterpret_cast<const uint8_t*>(&fake.ext);
        const auto* old = reinterpret_cast<const uint8_t*>(&before);
        for (uint32_t i = 0; i < CORVANE_EXTBLOCK_SIZE; ++i) {
            bool owned = i >= c.fields.offset && i < c.fields.offset + c.fields.length;
            ASSERT_EQ(owned ? 0xEE : old[i], after[i]) << "byte " << i;
        }
        ctrl.Release();
    }
}

TEST(CorvaneCtrlClient, ExtBlockFailures) {
    FakeCorvaneCore fake;
    FillPattern(fake.ext);
    CorvaneCtrl ctrl;
    ASSERT_TRUE(ctrl.Attach(fake.Core(), nullptr));
    CORVANE_EXTBLOCK block;
    std::memset(&block, 0x11, sizeof block);

    // A failed read leaves the caller's copy untouched and stops a write before it is sent.
    fake.Fail("ReadExtData", CORVANE_E_DATA_UNREADABLE, 2);
    EXPECT_FALSE(ctrl.ReadExtBlock(&block));
    EXPECT_EQ(0x11u, reinterpret_cast<uint8_t*>(&block)[100]);
    EXPECT_FALSE(ctrl.WriteExtBlock(block, CORVANE_EXT_POWER_FIELDS));
    EXPECT_EQ(0u, fake.CountCalls("WriteExtData"));

    // A range outside the block is refused without calling the library.
    EXPECT_FALSE(ctrl.WriteExtBlock(block, CorvaneExtFields{500, 20}));
    EXPECT_EQ(0u, fake.CountCalls("WriteExtData"));

    // The write's own failure is reported.
    fake.Fail("WriteExtData", CORVANE_E_STALE_STAMP, 1);
    EXPECT_FALSE(ctrl.WriteExtBlock(block, CORVANE_EXT_POWER_FIELDS));
    EXPECT_EQ(CORVANE_E_STALE_STAMP, ctrl.GetLastResult());

    // A successful read copies all 512 bytes.
    ASSERT_TRUE(ctrl.ReadExtBlock(&block));
    EXPECT_EQ(0, std::memcmp(&block, &fake.ext, sizeof block));
    ctrl.Release();
}

}  // namespace
