// The power schedule page's decisions: what the page shows for the stored schedule, saving a new
// one into the power fields of the extended block (and nothing else of it), and the clock watch
// that opens the countdown at the set hour and minute.
#pragma once

#include <cstdint>
#include <string>

#include "control/core/CorvaneRecords.h"
#include "control/ui/PasswordGate.h"

class CorvaneCtrl;

namespace control::ui {

constexpr uint32_t kPowerModeNone = 0;
constexpr uint32_t kPowerModeShutdown = 1;
constexpr uint32_t kPowerModeRestart = 2;

// The radio that shows a stored mode: any mode other than 0 and 1 is shown as restart.
int PowerRadioForMode(uint32_t mode);

// What LoadPowerSchedule puts on the page.
struct PowerPageView {
    int radio;              // 1056, 1057 or 1058
    bool pickerEnabled;
    bool setPickerTime;     // replace the picker's hour, minute and second by these
    uint16_t hour, minute, second;
    std::wstring debugLine; // empty when nothing is to be logged
};

class PowerSchedule {
public:
    // Reads the stored schedule (a failed read counts as all zero) and starts or stops the watch.
    PowerPageView Load(CorvaneCtrl& core);

    // Button 1066: gate, write the 20 power bytes, report. `picker` is the picker's full value.
    // True when the schedule was stored.
    bool Save(IAdminPrompt& prompt, IMessagePort& messages, CorvaneCtrl& core, int radio,
              const corvane_ioctl::CORVANE_SYSTEMTIME& picker);

    // One tick of the watch timer with the local time. True when the countdown is to open now;
    // the watch then stops until the next Load or Save.
    bool WatchTick(uint16_t hour, uint16_t minute);

    bool Watching() const { return m_watching; }
    bool Restart() const { return m_restart; }
    const corvane_ioctl::CORVANE_SYSTEMTIME& Time() const { return m_time; }

private:
    corvane_ioctl::CORVANE_SYSTEMTIME m_time{};
    bool m_restart = true;
    bool m_watching = false;
};

}  // namespace control::ui
