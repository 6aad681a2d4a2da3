// The restore-mode page's apply procedure against our corvane.dll's engine on an in-memory
// machine: the modes chosen on the page are the ones in force after the next start.
#include <gtest/gtest.h>

#include "SettingsFakes.h"
#include "control/protect/ChangeMode.h"
#include "outside/corvane/CoreEngine.h"
#include "outside/corvane/MemoryCoreStore.h"
#include "resources/control/resource.h"

namespace {

using control::protect::ApplyRestoreModes;
using control::protect::ApplyResult;
using control::protect::RestoreModeRow;
using corvane_core::CoreEngine;

// The library's two interfaces over the engine, as corvane.dll hands them out.
class EngineCore : public ICorvaneControl, public ICorvanePasswordHash {
public:
    explicit EngineCore(CoreEngine& engine) : engine_(engine) {
        core_.control = this;
        core_.passwordHash = this;
    }
    virtual ~EngineCore() = default;
    CORVANE_CORE* Core() { return &core_; }

    uint32_t CORVANE_CALL GetLastResult() override { return last_; }
    bool CORVANE_CALL GetStatus(corvane_ioctl::CORVANE_STATUS* s) override { return Done(engine_.GetStatus(*s)); }
    bool CORVANE_CALL GetConfig(corvane_ioctl::CORVANE_CONFIG* c) override { return Done(engine_.GetConfig(*c)); }
    bool CORVANE_CALL SetConfig(const corvane_ioctl::CORVANE_CONFIG* c) override { return Done(engine_.SetConfig(*c)); }
    bool CORVANE_CALL VerifyPassword(uint32_t h) override { return Done(engine_.VerifyPassword(h)); }
    bool CORVANE_CALL ChangePassword(uint32_t o, uint32_t n) override { return Done(engine_.ChangePassword(o, n)); }
    void CORVANE_CALL Reserved6() override {}
    bool CORVANE_CALL SetProtectMode(uint32_t h, int32_t m) override { return Done(engine_.SetProtectMode(h, m)); }
    bool CORVANE_CALL ReadExtData(CORVANE_EXTDATA* e) override { return Done(engine_.ReadExtData(*e)); }
    bool CORVANE_CALL WriteExtData(const CORVANE_EXTDATA* e) override { return Done(engine_.WriteExtData(*e)); }
    bool CORVANE_CALL CreateCache(CorvaneCacheCallback cb, int32_t) override { return Done(engine_.CreateCache(cb)); }
    bool CORVANE_CALL DeleteCache() override { return Done(engine_.DeleteCache()); }
    void CORVANE_CALL Reserved0() override {}
    void CORVANE_CALL Reserved1() override {}
    uint32_t CORVANE_CALL HashPassword(const wchar_t* text) override { return CoreEngine::HashPassword(text); }

private:
    bool Done(uint32_t result) {
        last_ = result;
        return result == CORVANE_S_OK;
    }
    CoreEngine& engine_;
    CORVANE_CORE core_{};
    uint32_t last_ = CORVANE_S_OK;
};

class ApplyWithEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ctrl.Attach(adapter.Core(), nullptr)); }
    void TearDown() override { ctrl.Release(); }
    uint32_t StatusFlags(char letter) {
        CorvaneCtrl::Status status;
        ctrl.GetStatus(&status);
        return status.drives[letter - 'A'].flags;
    }

    corvane_core::MemoryCoreStore store;
    corvane_core::MemoryCoreSystem system;
    CoreEngine engine{store, system};
    EngineCore adapter{engine};
    CorvaneCtrl ctrl;
    settings_testing::RecordingMessages messages;
};

TEST_F(ApplyWithEngine, ChosenModesAreInForceAfterTheNextStart) {
    ASSERT_EQ(0x83u, StatusFlags('C'));
    ASSERT_EQ(0x83u, StatusFlags('D'));
    settings_testing::ScriptedPrompt prompt{std::wstring(L"bramble")};
    ASSERT_EQ(ApplyResult::kRestart,
              ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}, {'D', IDC_ROW_UNUSED}}));
    EXPECT_EQ(0x83u, StatusFlags('C')) << "nothing changes before the restart";

    store.Restart();
    EXPECT_EQ(0x81u, StatusFlags('C'));  // manual restore
    EXPECT_EQ(0x82u, StatusFlags('D'));  // not restored; the automatic bit stays as it was

    // Back to automatic for both: D:'s kept bit means only bit 0 moves.
    settings_testing::ScriptedPrompt again{std::wstring(L"bramble")};
    ASSERT_EQ(ApplyResult::kRestart,
              ApplyRestoreModes(messages, again, ctrl, {{'C', IDC_ROW_AUTO}, {'D', IDC_ROW_AUTO}}));
    store.Restart();
    EXPECT_EQ(0x83u, StatusFlags('C'));
    EXPECT_EQ(0x83u, StatusFlags('D'));
}

TEST_F(ApplyWithEngine, ApplyUnderADayReleaseReturnsToProtection) {
    ASSERT_EQ(CORVANE_S_OK, engine.SetProtectMode(CoreEngine::HashPassword(L"bramble"), CORVANE_MODE_DAY_RELEASE));
    store.Restart();
    CorvaneCtrl::Status status;
    ctrl.GetStatus(&status);
    ASSERT_TRUE(status.flags & CORVANE_STATUS_DAY_RELEASE);

    settings_testing::ScriptedPrompt prompt{std::wstring(L"bramble")};
    ASSERT_EQ(ApplyResult::kRestart, ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}}));
    store.Restart();
    ctrl.GetStatus(&status);
    EXPECT_FALSE(status.flags & CORVANE_STATUS_ANY_RELEASE);
    EXPECT_EQ(0x81u, status.drives[2].flags);
}

}  // namespace
