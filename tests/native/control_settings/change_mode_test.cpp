#include "control/protect/ChangeMode.h"

#include "SettingsFakes.h"
#include "resources/control/resource.h"
#include "resources/control/settings_ids.h"

namespace {

using namespace control::protect;
using corvane_testing::FakeCorvaneCore;
using settings_testing::CoreFixture;
using settings_testing::ScriptedPrompt;

constexpr uint32_t kUsed = CORVANE_DRIVE_RESTORE_USED;
constexpr uint32_t kAuto = CORVANE_DRIVE_AUTO_RESTORE;

TEST(RestoreModeRadio, FlagsToRadioAndBack) {
    struct Case { uint32_t flags; int radio; };
    const Case cases[] = {
        {kUsed | kAuto, IDC_ROW_AUTO}, {kUsed, IDC_ROW_MANUAL}, {0, IDC_ROW_UNUSED}, {kAuto, IDC_ROW_UNUSED},
        {kUsed | kAuto | CORVANE_DRIVE_PRESENT | CORVANE_DRIVE_RESTORE_POINT, IDC_ROW_AUTO},
    };
    for (const Case& c : cases) EXPECT_EQ(c.radio, RestoreModeRadioFor(c.flags)) << std::hex << c.flags;
}

TEST(RestoreModeRows, PresentDrivesInLetterOrder) {
    CorvaneCtrl::Status status;
    for (auto [letter, flags] : {std::pair{'D', kUsed}, {'A', kUsed | kAuto}, {'C', 0u}}) {
        status.drives[letter - 'A'].letter = static_cast<uint8_t>(letter);
        status.drives[letter - 'A'].flags = flags | CORVANE_DRIVE_PRESENT;
    }
    status.drives[5].letter = 'F';  // not present
    status.drives[5].flags = kUsed;
    std::vector<RestoreModeRow> rows = RestoreModeRows(status);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ('A', rows[0].letter);
    EXPECT_EQ(IDC_ROW_AUTO, rows[0].radio);
    EXPECT_EQ('C', rows[1].letter);
    EXPECT_EQ(IDC_ROW_UNUSED, rows[1].radio);
    EXPECT_EQ('D', rows[2].letter);
    EXPECT_EQ(IDC_ROW_MANUAL, rows[2].radio);
}

class ApplyRestoreModesTest : public CoreFixture {
protected:
    const corvane_ioctl::CORVANE_DRIVECONFIG& Sent(char letter) const {
        return fake.sentConfigs.back().drives[letter - 'A'];
    }
};

TEST_F(ApplyRestoreModesTest, ChangesMarkOnlyTheBitsThatMoved) {
    struct Case {
        const char* name;
        uint32_t before;  // drive C:'s flags (present added)
        int radio;
        uint32_t flagsAfter, mask, changeFlags;
    };
    const Case cases[] = {
        {"not used -> automatic", 0, IDC_ROW_AUTO, kUsed | kAuto, kUsed | kAuto, CORVANE_CHANGE_DRIVES},
        {"automatic -> manual", kUsed | kAuto, IDC_ROW_MANUAL, kUsed, kAuto, CORVANE_CHANGE_DRIVES},
        {"automatic -> not used", kUsed | kAuto, IDC_ROW_UNUSED, kAuto, kUsed, CORVANE_CHANGE_DRIVES},
        {"manual -> automatic", kUsed, IDC_ROW_AUTO, kUsed | kAuto, kAuto, CORVANE_CHANGE_DRIVES},
        {"unchanged", kUsed | kAuto, IDC_ROW_AUTO, kUsed | kAuto, 0, 0},
        {"not used stays, auto bit kept", kAuto, IDC_ROW_UNUSED, kAuto, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.AddDrive('C', c.before);
        fake.sentConfigs.clear();
        fake.calls.clear();
        messages.shown.clear();
        ScriptedPrompt prompt{std::wstring(L"bramble")};

        EXPECT_EQ(ApplyResult::kRestart, ApplyRestoreModes(messages, prompt, ctrl, {{'C', c.radio}}));
        EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{36u, IDS_RESTART_CONFIRM}}), messages.shown);
        ASSERT_EQ(1u, fake.sentConfigs.size());
        EXPECT_EQ(c.flagsAfter | CORVANE_DRIVE_PRESENT, Sent('C').flags);
        EXPECT_EQ(c.mask, Sent('C').mask);
        EXPECT_EQ(c.changeFlags, fake.sentConfigs.back().changeFlags);
        EXPECT_EQ(FakeCorvaneCore::HashOf(L"bramble"), fake.sentConfigs.back().passwordHash);
        EXPECT_EQ(1u, fake.CountCalls("SetConfig")) << "the stamp was accepted";
        EXPECT_EQ(0u, fake.CountCalls("SetProtectMode"));
    }
}

TEST_F(ApplyRestoreModesTest, OrderOfCallsAndProtectModeOnlyUnderARelease) {
    struct Case { uint32_t statusFlags; bool protectMode; };
    const Case cases[] = {{0, false}, {CORVANE_STATUS_RESTORE_IN_USE, false}, {CORVANE_STATUS_DAY_RELEASE, true},
                          {CORVANE_STATUS_RELEASE, true}, {CORVANE_STATUS_ANY_RELEASE, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusFlags);
        fake.AddDrive('C', kUsed | kAuto);
        fake.status.flags = c.statusFlags;
        fake.calls.clear();
        ScriptedPrompt prompt{std::wstring(L"bramble")};
        EXPECT_EQ(ApplyResult::kRestart, ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}}));
        std::vector<std::string> expected = {"HashPassword", "VerifyPassword", "GetConfig", "GetStatus",
                                             "HashPassword", "SetConfig"};
        if (c.protectMode) expected.push_back("SetProtectMode");
        EXPECT_EQ(expected, fake.CallNames());
        if (c.protectMode) {
            EXPECT_EQ(CORVANE_MODE_PROTECT, fake.calls.back().mode);
            EXPECT_EQ(FakeCorvaneCore::HashOf(L"bramble"), fake.calls.back().hash);
        }
    }
}

TEST_F(ApplyRestoreModesTest, StopsBeforeWritingOnNoOrAFailedGate) {
    struct Case {
        const char* name;
        int answer;
        std::optional<std::wstring> typed;
        ApplyResult result;
        std::vector<unsigned> messages;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"No to the restart question", 7, std::wstring(L"bramble"), ApplyResult::kDeclined, {IDS_RESTART_CONFIRM}, {}},
        {"prompt cancelled", 6, std::nullopt, ApplyResult::kGateFailed, {IDS_RESTART_CONFIRM}, {}},
        {"space refused before the core is asked", 6, std::wstring(L"bram ble"), ApplyResult::kGateFailed,
         {IDS_RESTART_CONFIRM, IDS_PASSWORD_HAS_SPACE}, {}},
        {"wrong password", 6, std::wstring(L"thistle"), ApplyResult::kGateFailed,
         {IDS_RESTART_CONFIRM, IDS_PASSWORD_WRONG}, {"HashPassword", "VerifyPassword"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.AddDrive('C', kUsed | kAuto);
        fake.calls.clear();
        fake.sentConfigs.clear();
        messages.shown.clear();
        messages.answers = {c.answer};
        ScriptedPrompt prompt{c.typed};
        EXPECT_EQ(c.result, ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}}));
        EXPECT_EQ(c.messages, messages.Ids());
        EXPECT_EQ(c.calls, fake.CallNames());
        EXPECT_TRUE(fake.sentConfigs.empty());
        EXPECT_EQ(c.answer == 6 ? 1 : 0, prompt.asked);
    }
}

TEST_F(ApplyRestoreModesTest, FailedSetConfigShowsTheSettingsErrorAndDoesNotRestart) {
    fake.AddDrive('C', kUsed | kAuto);
    fake.status.flags = CORVANE_STATUS_DAY_RELEASE;
    fake.Fail("SetConfig", CORVANE_E_NOT_INITIALIZED);
    ScriptedPrompt prompt{std::wstring(L"bramble")};
    EXPECT_EQ(ApplyResult::kSetConfigFailed, ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}}));
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{36u, IDS_RESTART_CONFIRM}, {16u, IDS_SETTINGS_FAILED}}),
              messages.shown);
    EXPECT_EQ(0u, fake.CountCalls("SetProtectMode"));
}

TEST_F(ApplyRestoreModesTest, RowsAreMatchedToDrivesByLetter) {
    // The configuration knows C: and D:, the page shows rows for D: and E: only (status and
    // configuration disagree). D:'s choice must land on D:, never on C: by position.
    fake.AddDrive('C', kUsed | kAuto);
    fake.AddDrive('D', kUsed | kAuto);
    ScriptedPrompt prompt{std::wstring(L"bramble")};
    EXPECT_EQ(ApplyResult::kRestart,
              ApplyRestoreModes(messages, prompt, ctrl, {{'D', IDC_ROW_UNUSED}, {'E', IDC_ROW_MANUAL}}));
    ASSERT_EQ(1u, fake.sentConfigs.size());
    EXPECT_EQ(kUsed | kAuto | CORVANE_DRIVE_PRESENT, Sent('C').flags);
    EXPECT_EQ(0u, Sent('C').mask);
    EXPECT_EQ(kAuto | CORVANE_DRIVE_PRESENT, Sent('D').flags);
    EXPECT_EQ(kUsed, Sent('D').mask);
    EXPECT_EQ(0u, Sent('E').mask);
    EXPECT_EQ(0u, Sent('E').flags);
}

TEST_F(ApplyRestoreModesTest, SeveralDrivesEachGetTheirOwnRow) {
    fake.AddDrive('C', 0);
    fake.AddDrive('D', kUsed | kAuto);
    fake.AddDrive('F', kUsed);
    ScriptedPrompt prompt{std::wstring(L"bramble")};
    ApplyRestoreModes(messages, prompt, ctrl, {{'C', IDC_ROW_MANUAL}, {'D', IDC_ROW_AUTO}, {'F', IDC_ROW_AUTO}});
    ASSERT_EQ(1u, fake.sentConfigs.size());
    EXPECT_EQ(kUsed | CORVANE_DRIVE_PRESENT, Sent('C').flags);
    EXPECT_EQ(kUsed, Sent('C').mask);
    EXPECT_EQ(0u, Sent('D').mask);
    EXPECT_EQ(kUsed | kAuto | CORVANE_DRIVE_PRESENT, Sent('F').flags);
    EXPECT_EQ(kAuto, Sent('F').mask);
}

}  // namespace
