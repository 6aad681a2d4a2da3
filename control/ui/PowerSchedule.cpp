#include "control/ui/PowerSchedule.h"

#include <cstring>
#include <cwchar>

#include "control/core/CorvaneCtrl.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

int PowerRadioForMode(uint32_t mode) {
    if (mode == kPowerModeNone) return IDC_POWER_NONE;
    if (mode == kPowerModeShutdown) return IDC_POWER_SHUTDOWN;
    return IDC_POWER_RESTART;
}

PowerPageView PowerSchedule::Load(CorvaneCtrl& core) {
    CORVANE_EXTBLOCK block;
    std::memset(&block, 0, sizeof block);
    core.ReadExtBlock(&block);  // on failure the block stays zero: no schedule

    m_time = block.powerTime;
    m_restart = block.powerMode != kPowerModeShutdown;

    PowerPageView view{};
    view.radio = PowerRadioForMode(block.powerMode);
    if (block.powerMode == kPowerModeNone) {
        view.pickerEnabled = false;
        view.setPickerTime = false;
        m_watching = false;
        return view;
    }
    wchar_t line[128] = {};
    std::swprintf(line, sizeof line / sizeof line[0], L"syspower enable : %d time : %d %d %d",
                  static_cast<int>(block.powerMode), block.powerTime.wHour, block.powerTime.wMinute,
                  block.powerTime.wSecond);
    view.debugLine = line;
    view.pickerEnabled = true;
    view.setPickerTime = true;
    view.hour = block.powerTime.wHour;
    view.minute = block.powerTime.wMinute;
    view.second = block.powerTime.wSecond;
    m_watching = true;
    return view;
}

bool PowerSchedule::Save(IAdminPrompt& prompt, IMessagePort& messages, CorvaneCtrl& core, int radio,
                         const corvane_ioctl::CORVANE_SYSTEMTIME& picker) {
    std::wstring password;
    if (!AskAdminPassword(prompt, messages, core, password)) return false;

    CORVANE_EXTBLOCK block;
    std::memset(&block, 0, sizeof block);
    if (radio == IDC_POWER_SHUTDOWN || radio == IDC_POWER_RESTART) {
        block.powerMode = radio == IDC_POWER_SHUTDOWN ? kPowerModeShutdown : kPowerModeRestart;
        block.powerTime = picker;
    }
    if (!core.WriteExtBlock(block, CORVANE_EXT_POWER_FIELDS)) {
        messages.Show(kMsgError, IDS_SETTINGS_FAILED);
        return false;
    }
    messages.Show(kMsgInformation, IDS_POWER_SCHEDULE_SAVED);
    m_time = block.powerTime;
    m_restart = block.powerMode != kPowerModeShutdown;
    m_watching = block.powerMode != kPowerModeNone;
    return true;
}

bool PowerSchedule::WatchTick(uint16_t hour, uint16_t minute) {
    if (!m_watching) return false;
    if (hour != m_time.wHour || minute != m_time.wMinute) return false;
    m_watching = false;
    return true;
}

}  // namespace control::ui
