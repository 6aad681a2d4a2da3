#include "control/ui/MainWindowRules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "resources/control/resource.h"

namespace {

using namespace control::ui;

TEST(MainWindowTabs, HitTestFollowsTheInclusiveEdges) {
    struct Case { int x, y, tab; };
    const Case cases[] = {
        {72, 50, 0},  {6, 38, 0},    {5, 50, kNoTab},  // tab 0 is 6-72
        {73, 50, 1},  {162, 50, 1},  {163, 50, 2},     // a tab spans its edge + 89
        {252, 77, 2}, {253, 77, 3},  {342, 60, 3},  {343, 60, 4},  {432, 60, 4},
        {433, 60, 5}, {522, 60, 5},  {523, 60, 6},  {612, 60, 6},  {613, 60, kNoTab},
        {72, 37, kNoTab}, {72, 78, kNoTab}, {100, 78, kNoTab},
    };
    for (const Case& c : cases) EXPECT_EQ(c.tab, HitTestTab(c.x, c.y)) << "x=" << c.x << " y=" << c.y;
}

TEST(MainWindowTabs, ReleaseSwitchesOnlyToAnotherTab) {
    EXPECT_TRUE(ShouldSwitchTab(2, 0));
    EXPECT_FALSE(ShouldSwitchTab(0, 0));
    EXPECT_FALSE(ShouldSwitchTab(kNoTab, 0));
    EXPECT_FALSE(ShouldSwitchTab(kTabCount, 0));
}

TEST(MainWindowTabs, DragBandEndsAtTheTabStrip) {
    EXPECT_TRUE(IsDragArea(0));
    EXPECT_TRUE(IsDragArea(38));
    EXPECT_FALSE(IsDragArea(39));
}

TEST(MainWindowModeLabel, TextFollowsReleaseFlagsAndRestoreInUse) {
    struct Case { uint32_t flags; unsigned stringId; bool unusedNote; };
    const Case cases[] = {
        {0x40, IDS_MODE_RESTORE, false},
        {0x00, IDS_MODE_RESTORE, true},  // a zeroed record, as after a failed GetStatus
        {0x20, IDS_MODE_DAY_RELEASE, true},
        {0x60, IDS_MODE_DAY_RELEASE, false},
        {0x10, IDS_MODE_RELEASE, true},
        {0x50, IDS_MODE_RELEASE, false},
        {0x30, IDS_MODE_DAY_RELEASE, true},
        {0xFFFFFF8F, IDS_MODE_RESTORE, true},  // unrelated bits change nothing
    };
    for (const Case& c : cases) {
        ModeLabel label = ModeLabelFor(c.flags);
        EXPECT_EQ(c.stringId, label.stringId) << std::hex << c.flags;
        EXPECT_EQ(c.unusedNote, label.appendRestoreUnused) << std::hex << c.flags;
    }
}

// A status record with the given drives; each entry is a letter and its drive flags.
corvane_ioctl::CORVANE_STATUS StatusWith(uint32_t flags, std::initializer_list<std::pair<char, uint32_t>> drives) {
    corvane_ioctl::CORVANE_STATUS status;
    std::memset(&status, 0, sizeof status);
    status.flags = flags;
    for (const auto& drive : drives) {
        auto& entry = status.drives[drive.first - 'A'];
        entry.letter = static_cast<uint8_t>(drive.first);
        entry.flags = drive.second;
    }
    return status;
}

TEST(MainWindowTray, IconAndTextFromTheStatus) {
    const uint32_t present = CORVANE_DRIVE_PRESENT, used = CORVANE_DRIVE_RESTORE_USED,
                   automatic = CORVANE_DRIVE_AUTO_RESTORE;
    struct Case {
        const char* name;
        corvane_ioctl::CORVANE_STATUS status;
        unsigned icon, text;
    };
    const Case cases[] = {
        {"one-day release wins over drives", StatusWith(0x60, {{'C', present | used | automatic}}),
         IDI_TRAY_DAY_RELEASE, IDS_MODE_DAY_RELEASE},
        {"release", StatusWith(0x10, {{'C', present | used}}), IDI_TRAY_RELEASE, IDS_MODE_RELEASE},
        {"first drive in letter order decides: C manual before D automatic",
         StatusWith(0x40, {{'C', present | used}, {'D', present | used | automatic}}), IDI_TRAY_MANUAL,
         IDS_MODE_MANUAL_RESTORE},
        {"a drive without restore is skipped",
         StatusWith(0x40, {{'C', present}, {'E', present | used | automatic}}), IDI_CORVANE,
         IDS_MODE_AUTO_RESTORE},
        {"a drive that is not present does not count",
         StatusWith(0x40, {{'C', used | automatic}, {'D', present | used}}), IDI_TRAY_MANUAL,
         IDS_MODE_MANUAL_RESTORE},
        {"no drive with restore", StatusWith(0x40, {{'C', present}}), IDI_TRAY_RELEASE, IDS_RESTORE_NOT_USED},
        {"zeroed record after a failed GetStatus", StatusWith(0, {}), IDI_TRAY_RELEASE, IDS_RESTORE_NOT_USED},
    };
    for (const Case& c : cases) {
        TrayChoice choice = TrayChoiceFor(c.status);
        EXPECT_EQ(c.icon, choice.iconId) << c.name;
        EXPECT_EQ(c.text, choice.stringId) << c.name;
    }
}

TEST(MainWindowTray, TooltipJoinsNameAndStateAndFitsTheBuffer) {
    EXPECT_EQ(L"HDD Corvane 9 - 일일 복구 해제 모드", TrayTooltip(L"HDD Corvane 9", L"일일 복구 해제 모드", 128));
    // 13 + 3 + 5 characters need 22 with the terminator; 10 leaves room for 9.
    EXPECT_EQ(L"HDD Corva", TrayTooltip(L"HDD Corvane 9", L"abcde", 10));
    EXPECT_EQ(L"HDD Corvane 9 - abcde", TrayTooltip(L"HDD Corvane 9", L"abcde", 22));
    EXPECT_EQ(L"", TrayTooltip(L"HDD Corvane 9", L"abcde", 0));
}

}  // namespace
