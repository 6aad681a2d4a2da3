#include "control/protect/ChangeMode.h"

#include "resources/control/resource.h"
#include "resources/control/settings_ids.h"

namespace control::protect {

int RestoreModeRadioFor(uint32_t driveFlags) {
    if (!(driveFlags & CORVANE_DRIVE_RESTORE_USED)) return IDC_ROW_UNUSED;
    return (driveFlags & CORVANE_DRIVE_AUTO_RESTORE) ? IDC_ROW_AUTO : IDC_ROW_MANUAL;
}

void WriteRestoreModeRadio(const CorvaneCtrl::DriveConfig& drive, int radio) {
    switch (radio) {
    case IDC_ROW_AUTO:
        CorvaneCtrl::SetRestoreUsed(drive, true);
        CorvaneCtrl::SetAutoRestore(drive, true);
        break;
    case IDC_ROW_MANUAL:
        CorvaneCtrl::SetRestoreUsed(drive, true);
        CorvaneCtrl::SetAutoRestore(drive, false);
        break;
    case IDC_ROW_UNUSED:
        CorvaneCtrl::SetRestoreUsed(drive, false);
        break;
    default:
        break;
    }
}

std::vector<RestoreModeRow> RestoreModeRows(const corvane_ioctl::CORVANE_STATUS& status) {
    std::vector<CorvaneCtrl::DriveInfo> drives;
    CorvaneCtrl::GetDriveInfos(status, drives);
    std::vector<RestoreModeRow> rows;
    for (const auto& drive : drives)
        rows.push_back({static_cast<char>(drive.letter), RestoreModeRadioFor(drive.flags)});
    return rows;
}

ApplyResult ApplyRestoreModes(ui::IMessagePort& messages, ui::IAdminPrompt& prompt, CorvaneCtrl& core,
                              const std::vector<RestoreModeRow>& rows) {
    if (messages.Show(ui::kMsgYesNoQuestion, IDS_RESTART_CONFIRM) != ui::kAnswerYes) return ApplyResult::kDeclined;

    std::wstring password;
    if (!ui::AskAdminPassword(prompt, messages, core, password)) return ApplyResult::kGateFailed;

    CorvaneCtrl::Config config;
    CorvaneCtrl::Status status;
    core.GetConfig(&config);
    core.GetStatus(&status);
    std::vector<CorvaneCtrl::DriveConfig> views;
    CorvaneCtrl::GetDriveConfigs(config, views);

    // Pair by drive letter, not by position: should the status and the configuration ever
    // disagree on which drives are present, a position would put a choice on the wrong drive.
    for (const auto& view : views) {
        for (const auto& row : rows) {
            if (row.letter != view.GetLetter()) continue;
            WriteRestoreModeRadio(view, row.radio);
            break;
        }
    }

    config.passwordHash = core.HashPassword(password.c_str());
    config.stamp = status.stamp;
    if (!core.SetConfig(&config)) {
        messages.Show(ui::kMsgError, IDS_SETTINGS_FAILED);
        return ApplyResult::kSetConfigFailed;
    }
    // A release in force would keep the new modes from mattering; return to protection first.
    if (status.flags & CORVANE_STATUS_ANY_RELEASE) core.SetProtectMode(config.passwordHash, CORVANE_MODE_PROTECT);
    return ApplyResult::kRestart;
}

}  // namespace control::protect
