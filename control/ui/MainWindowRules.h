// The decisions of the main window that do not need a window: which tab a point is on, where
// the window may be dragged, what the mode label and the tray icon say for a status record.
#pragma once

#include <cstdint>
#include <string>

#include "control/core/CorvaneRecords.h"

namespace control::ui {

constexpr int kTabCount = 7;
constexpr int kNoTab = -1;

// Tab order of the main window; the home page's buttons and the tab strip use these numbers.
enum Tab : int {
    kTabHome = 0,
    kTabStatus = 1,
    kTabRestoreExe = 2,
    kTabRestoreCrt = 3,
    kTabProtectClr = 4,
    kTabSchedule = 5,
    kTabEnvironment = 6,
};

// Left edges of the tab hit areas, in window client coordinates.
constexpr int kTabLeftEdges[kTabCount] = {6, 73, 163, 253, 343, 433, 523};

// The tab under a client point, or kNoTab. Edges are inclusive: tab 0 spans x 6-72, the others
// their left edge to left edge + 89; every tab spans y 38-77.
int HitTestTab(int x, int y);

// Pressing the mouse on the top band moves the window, as a caption would.
bool IsDragArea(int y);

// Releasing the mouse over a tab switches pages only when it is another tab than the current one.
bool ShouldSwitchTab(int hitTab, int currentTab);

// The mode label: one string id, and whether "(복구 미사용)" follows it directly.
struct ModeLabel {
    unsigned stringId;
    bool appendRestoreUnused;
};
ModeLabel ModeLabelFor(uint32_t statusFlags);

// The tray icon and the text after the product name in its tooltip.
struct TrayChoice {
    unsigned iconId;
    unsigned stringId;
};
TrayChoice TrayChoiceFor(const corvane_ioctl::CORVANE_STATUS& status);

// Tooltip: product name, " - ", state text; cut to what the notification area holds
// (`capacity` characters including the terminating zero).
std::wstring TrayTooltip(const std::wstring& productName, const std::wstring& stateText, size_t capacity);

// The maker's remote-support page, a setting of the build.
const wchar_t* RemoteSupportAddress();

}  // namespace control::ui
