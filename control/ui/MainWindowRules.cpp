#include "control/ui/MainWindowRules.h"

#include <vector>

#include "control/core/CorvaneCtrl.h"
#include "resources/control/resource.h"

#ifndef CORVANE_REMOTE_SUPPORT_URL
#define CORVANE_REMOTE_SUPPORT_URL L"https://support.talvoric.co.kr/remote"
#endif

namespace control::ui {

namespace {
constexpr int kTabTop = 38;
constexpr int kTabBottom = 77;
constexpr int kFirstTabRight = 72;
constexpr int kTabWidthBeyondEdge = 89;
constexpr int kDragBandBottom = 38;
}  // namespace

int HitTestTab(int x, int y) {
    if (y < kTabTop || y > kTabBottom) return kNoTab;
    if (x >= kTabLeftEdges[0] && x <= kFirstTabRight) return 0;
    for (int tab = 1; tab < kTabCount; ++tab) {
        if (x >= kTabLeftEdges[tab] && x <= kTabLeftEdges[tab] + kTabWidthBeyondEdge) return tab;
    }
    return kNoTab;
}

bool IsDragArea(int y) { return y <= kDragBandBottom; }

bool ShouldSwitchTab(int hitTab, int currentTab) {
    return hitTab >= 0 && hitTab < kTabCount && hitTab != currentTab;
}

ModeLabel ModeLabelFor(uint32_t statusFlags) {
    ModeLabel label{IDS_MODE_RESTORE, (statusFlags & CORVANE_STATUS_RESTORE_IN_USE) == 0};
    if (statusFlags & CORVANE_STATUS_ANY_RELEASE)
        label.stringId = (statusFlags & CORVANE_STATUS_DAY_RELEASE) ? IDS_MODE_DAY_RELEASE : IDS_MODE_RELEASE;
    return label;
}

TrayChoice TrayChoiceFor(const corvane_ioctl::CORVANE_STATUS& status) {
    if (status.flags & CORVANE_STATUS_ANY_RELEASE) {
        if (status.flags & CORVANE_STATUS_DAY_RELEASE) return {IDI_TRAY_DAY_RELEASE, IDS_MODE_DAY_RELEASE};
        return {IDI_TRAY_RELEASE, IDS_MODE_RELEASE};
    }
    std::vector<CorvaneCtrl::DriveInfo> drives;
    CorvaneCtrl::GetDriveInfos(status, drives);
    for (const auto& drive : drives) {
        if ((drive.flags & CORVANE_DRIVE_RESTORE_USED) == 0) continue;
        if (drive.flags & CORVANE_DRIVE_AUTO_RESTORE) return {IDI_CORVANE, IDS_MODE_AUTO_RESTORE};
        return {IDI_TRAY_MANUAL, IDS_MODE_MANUAL_RESTORE};
    }
    return {IDI_TRAY_RELEASE, IDS_RESTORE_NOT_USED};
}

std::wstring TrayTooltip(const std::wstring& productName, const std::wstring& stateText, size_t capacity) {
    std::wstring tip = productName + L" - " + stateText;
    if (capacity == 0) return {};
    if (tip.size() > capacity - 1) tip.resize(capacity - 1);
    return tip;
}

const wchar_t* RemoteSupportAddress() { return CORVANE_REMOTE_SUPPORT_URL; }

}  // namespace control::ui
