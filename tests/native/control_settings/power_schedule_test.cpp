#include "control/ui/PowerSchedule.h"

#include <cstring>

#include "SettingsFakes.h"
#include "resources/control/settings_ids.h"

namespace {

using control::ui::PowerPageView;
using control::ui::PowerSchedule;
using corvane_ioctl::CORVANE_SYSTEMTIME;
using settings_testing::CoreFixture;
using settings_testing::ScriptedPrompt;

CORVANE_SYSTEMTIME TimeOfDay(uint16_t hour, uint16_t minute, uint16_t second) {
    CORVANE_SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 11;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

class PowerSchedulePage : public CoreFixture {
protected:
    void FillTail() {
        auto* bytes = reinterpret_cast<uint8_t*>(&fake.ext);
        for (size_t i = 20; i < sizeof fake.ext; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    PowerSchedule page;
};

TEST_F(PowerSchedulePage, LoadShowsTheStoredMode) {
    struct Case { uint32_t mode; int radio; bool picker; bool watching; bool restart; };
    const Case cases[] = {
        {0, IDC_POWER_NONE, false, false, true},
        {1, IDC_POWER_SHUTDOWN, true, true, false},
        {2, IDC_POWER_RESTART, true, true, true},
        {3, IDC_POWER_RESTART, true, true, true},  // unknown modes count as restart
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        fake.ext.powerMode = c.mode;
        fake.ext.powerTime = TimeOfDay(7, 30, 15);
        PowerPageView view = page.Load(ctrl);
        EXPECT_EQ(c.radio, view.radio);
        EXPECT_EQ(c.picker, view.pickerEnabled);
        EXPECT_EQ(c.picker, view.setPickerTime);
        EXPECT_EQ(c.watching, page.Watching());
        EXPECT_EQ(c.restart, page.Restart());
        if (c.picker) {
            EXPECT_EQ(7, view.hour);
            EXPECT_EQ(30, view.minute);
            EXPECT_EQ(15, view.second);
            EXPECT_EQ(L"syspower enable : " + std::to_wstring(c.mode) + L" time : 7 30 15", view.debugLine);
        } else {
            EXPECT_TRUE(view.debugLine.empty());
        }
    }
}

TEST_F(PowerSchedulePage, FailedReadCountsAsNoSchedule) {
    fake.ext.powerMode = 2;
    page.Load(ctrl);
    ASSERT_TRUE(page.Watching());
    fake.Fail("ReadExtData", CORVANE_E_NOT_INITIALIZED);
    PowerPageView view = page.Load(ctrl);
    EXPECT_EQ(IDC_POWER_NONE, view.radio);
    EXPECT_FALSE(page.Watching());
}

TEST_F(PowerSchedulePage, SaveWritesOnlyThePowerBytes) {
    struct Case { int radio; uint32_t mode; bool zeroTime; bool watching; };
    const Case cases[] = {
        {IDC_POWER_RESTART, 2, false, true},
        {IDC_POWER_SHUTDOWN, 1, false, true},
        {IDC_POWER_NONE, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        FillTail();
        fake.ext.powerMode = 2;
        fake.ext.powerTime = TimeOfDay(1, 2, 3);
        CORVANE_EXTBLOCK before = fake.ext;
        messages.shown.clear();
        ScriptedPrompt prompt{std::wstring(L"bramble")};
        CORVANE_SYSTEMTIME picker = TimeOfDay(22, 45, 9);

        ASSERT_TRUE(page.Save(prompt, messages, ctrl, c.radio, picker));
        EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{64u, IDS_POWER_SCHEDULE_SAVED}}), messages.shown);
        EXPECT_EQ(c.mode, fake.ext.powerMode);
        CORVANE_SYSTEMTIME expected = c.zeroTime ? CORVANE_SYSTEMTIME{} : picker;
        EXPECT_EQ(0, std::memcmp(&expected, &fake.ext.powerTime, sizeof expected));
        EXPECT_EQ(0, std::memcmp(reinterpret_cast<const uint8_t*>(&before) + 20,
                                 reinterpret_cast<const uint8_t*>(&fake.ext) + 20, sizeof before - 20));
        EXPECT_EQ(c.watching, page.Watching());
        EXPECT_EQ(c.mode != 1, page.Restart());
    }
}

TEST_F(PowerSchedulePage, SaveStopsAtTheGateAndReportsAFailedWrite) {
    fake.ext.powerMode = 0;
    ScriptedPrompt cancel{std::nullopt};
    EXPECT_FALSE(page.Save(cancel, messages, ctrl, IDC_POWER_RESTART, TimeOfDay(8, 0, 0)));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(0u, fake.CountCalls("WriteExtData"));

    ScriptedPrompt right{std::wstring(L"bramble")};
    fake.Fail("WriteExtData", CORVANE_E_NOT_INITIALIZED);
    EXPECT_FALSE(page.Save(right, messages, ctrl, IDC_POWER_RESTART, TimeOfDay(8, 0, 0)));
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{16u, IDS_SETTINGS_FAILED}}), messages.shown);
    EXPECT_FALSE(page.Watching());
}

TEST_F(PowerSchedulePage, WatchOpensOnceAtTheHourAndMinute) {
    fake.ext.powerMode = 2;
    fake.ext.powerTime = TimeOfDay(7, 30, 0);
    page.Load(ctrl);
    EXPECT_FALSE(page.WatchTick(7, 29));
    EXPECT_FALSE(page.WatchTick(8, 30));
    EXPECT_TRUE(page.WatchTick(7, 30));  // 07:30:02 in the stored minute
    EXPECT_FALSE(page.Watching());
    EXPECT_FALSE(page.WatchTick(7, 30));  // after Cancel nothing opens again this run
    page.Load(ctrl);                      // until the page is shown, hidden or saved again
    EXPECT_TRUE(page.WatchTick(7, 30));

    fake.ext.powerMode = 0;
    page.Load(ctrl);
    EXPECT_FALSE(page.WatchTick(0, 0));
}

}  // namespace
