#include "control/ui/PasswordGate.h"

#include "SettingsFakes.h"
#include "resources/control/settings_ids.h"

namespace {

using control::ui::AskAdminPassword;
using control::ui::ChangeAdminPassword;
using control::ui::PasswordChangeResult;
using corvane_testing::FakeCorvaneCore;
using settings_testing::CoreFixture;
using settings_testing::ScriptedPrompt;

class PasswordGate : public CoreFixture {};

TEST_F(PasswordGate, EachAnswerOfThePrompt) {
    struct Case {
        const char* name;
        std::optional<std::wstring> typed;  // nullopt: Cancel
        int wrongBefore;                    // wrong attempts the library has already counted
        bool passes;
        std::vector<unsigned> messages;
        size_t verifyCalls;
    };
    const Case cases[] = {
        {"cancel", std::nullopt, 0, false, {}, 0},
        {"leading space", std::wstring(L" bramble"), 0, false, {IDS_PASSWORD_HAS_SPACE}, 0},
        {"inner space", std::wstring(L"bram ble"), 0, false, {IDS_PASSWORD_HAS_SPACE}, 0},
        {"tab goes to the library", std::wstring(L"bram\tble"), 0, false, {IDS_PASSWORD_WRONG}, 1},
        {"wrong", std::wstring(L"thistle"), 0, false, {IDS_PASSWORD_WRONG}, 1},
        {"third wrong locks", std::wstring(L"thistle"), 2, false, {IDS_PASSWORD_LOCKED}, 1},
        {"right but locked", std::wstring(L"bramble"), 3, false, {IDS_PASSWORD_LOCKED}, 1},
        {"right", std::wstring(L"bramble"), 0, true, {}, 1},
        {"empty goes to the library", std::wstring(), 0, false, {IDS_PASSWORD_WRONG}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.calls.clear();
        fake.wrongPasswords = c.wrongBefore;
        messages.shown.clear();
        ScriptedPrompt prompt{c.typed};
        std::wstring password = L"untouched";

        EXPECT_EQ(c.passes, AskAdminPassword(prompt, messages, ctrl, password));
        EXPECT_EQ(c.messages, messages.Ids());
        for (const auto& shown : messages.shown) EXPECT_EQ(16u, shown.first);  // error icon
        EXPECT_EQ(c.verifyCalls, fake.CountCalls("VerifyPassword"));
        if (c.verifyCalls) {
            EXPECT_EQ(FakeCorvaneCore::HashOf(c.typed->c_str()), fake.calls.back().hash);
        }
        EXPECT_EQ(c.passes ? *c.typed : std::wstring(L"untouched"), password);
    }
}

TEST_F(PasswordGate, SpaceDoesNotCountAsAWrongAttempt) {
    fake.wrongPasswords = 2;
    ScriptedPrompt prompt{std::wstring(L" x"), std::wstring(L"bramble")};
    std::wstring password;
    EXPECT_FALSE(AskAdminPassword(prompt, messages, ctrl, password));
    EXPECT_TRUE(AskAdminPassword(prompt, messages, ctrl, password));
    EXPECT_EQ(2, fake.wrongPasswords);
}

TEST_F(PasswordGate, ThreeWrongThenRightShowsTheLockout) {
    ScriptedPrompt prompt{std::wstring(L"a"), std::wstring(L"b"), std::wstring(L"c"), std::wstring(L"bramble")};
    std::wstring password;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(AskAdminPassword(prompt, messages, ctrl, password));
    EXPECT_EQ((std::vector<unsigned>{IDS_PASSWORD_WRONG, IDS_PASSWORD_WRONG, IDS_PASSWORD_LOCKED, IDS_PASSWORD_LOCKED}),
              messages.Ids());
    fake.SimulateRestart();
    ScriptedPrompt again{std::wstring(L"bramble")};
    EXPECT_TRUE(AskAdminPassword(again, messages, ctrl, password));
}

TEST(PasswordGateWithoutCore, RefusesWithTheWrongPasswordMessage) {
    CorvaneCtrl ctrl;  // nothing attached
    settings_testing::RecordingMessages messages;
    ScriptedPrompt prompt{std::wstring(L"bramble")};
    std::wstring password;
    EXPECT_FALSE(AskAdminPassword(prompt, messages, ctrl, password));
    EXPECT_EQ(std::vector<unsigned>{IDS_PASSWORD_WRONG}, messages.Ids());
}

class PasswordChange : public CoreFixture {};

TEST_F(PasswordChange, EachOutcome) {
    struct Case {
        const char* name;
        const wchar_t* current;
        const wchar_t* fresh;
        const wchar_t* confirmation;
        int wrongBefore;
        PasswordChangeResult result;
        unsigned style, message;
        bool libraryAsked;
    };
    const Case cases[] = {
        {"confirmation differs by case", L"bramble", L"Heather", L"heather", 0, PasswordChangeResult::kRefused, 16,
         IDS_PASSWORD_WRONG, false},
        {"space in the new text", L"bramble", L"hea ther", L"hea ther", 0, PasswordChangeResult::kRefused, 16,
         IDS_PASSWORD_HAS_SPACE, false},
        {"space in the current text", L"bram ble", L"heather", L"heather", 0, PasswordChangeResult::kRefused, 16,
         IDS_PASSWORD_HAS_SPACE, false},
        {"wrong current", L"thistle", L"heather", L"heather", 0, PasswordChangeResult::kFailed, 16,
         IDS_CURRENT_PASSWORD_WRONG, true},
        {"locked", L"bramble", L"heather", L"heather", 3, PasswordChangeResult::kFailed, 16, IDS_PASSWORD_LOCKED, true},
        {"success", L"bramble", L"heather", L"heather", 0, PasswordChangeResult::kChanged, 64, IDS_PASSWORD_CHANGED,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.calls.clear();
        fake.wrongPasswords = c.wrongBefore;
        messages.shown.clear();
        EXPECT_EQ(c.result, ChangeAdminPassword(messages, ctrl, c.current, c.fresh, c.confirmation));
        ASSERT_EQ(1u, messages.shown.size());
        EXPECT_EQ(c.style, messages.shown[0].first);
        EXPECT_EQ(c.message, messages.shown[0].second);
        ASSERT_EQ(c.libraryAsked ? 1u : 0u, fake.CountCalls("ChangePassword"));
        if (c.libraryAsked) {
            EXPECT_EQ(FakeCorvaneCore::HashOf(c.current), fake.calls.back().hash);
            EXPECT_EQ(static_cast<int32_t>(FakeCorvaneCore::HashOf(c.fresh)), fake.calls.back().mode);
        }
    }
    // Only the successful case changed it.
    EXPECT_EQ(FakeCorvaneCore::HashOf(L"heather"), fake.PasswordHash());
}

}  // namespace
