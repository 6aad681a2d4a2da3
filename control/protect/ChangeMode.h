// The restore-mode page's decisions: which radio shows a drive's flags, the rows the list is
// filled with, and the apply procedure that writes the chosen modes and leads to the restart.
#pragma once

#include <cstdint>
#include <vector>

#include "control/core/CorvaneCtrl.h"
#include "control/ui/PasswordGate.h"

namespace control::protect {

// "자동복구" 1091 = restore used + automatic; "수동복구" 1092 = used, manual; "복구 미사용" 1093.
int RestoreModeRadioFor(uint32_t driveFlags);
// Writes `radio` into the drive entry through the setters, so each changed bit is marked.
// "복구 미사용" leaves the automatic bit as it was; any other value changes nothing.
void WriteRestoreModeRadio(const CorvaneCtrl::DriveConfig& drive, int radio);

struct RestoreModeRow {
    char letter;  // 'A'..'Z'
    int radio;    // 1091-1093, 0 when none is checked
};

// One row per present drive of the status, in drive-letter order.
std::vector<RestoreModeRow> RestoreModeRows(const corvane_ioctl::CORVANE_STATUS& status);

enum class ApplyResult {
    kDeclined,         // No to the restart question
    kGateFailed,       // prompt cancelled or password refused (already told)
    kSetConfigFailed,  // message 196 shown; no restart
    kRestart,          // sent; open the 5-second restart countdown
};

// Button 1066. Rows are matched to the configuration's drives by letter: a drive the
// configuration lists but the page has no row for keeps its modes.
ApplyResult ApplyRestoreModes(ui::IMessagePort& messages, ui::IAdminPrompt& prompt, CorvaneCtrl& core,
                              const std::vector<RestoreModeRow>& rows);

}  // namespace control::protect
