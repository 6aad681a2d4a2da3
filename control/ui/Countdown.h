// The restart countdown's decisions: the two kinds of countdown window, the wording of its
// message, and when the count is reached. The window (CShutDownDlg) only shows them.
#pragma once

#include <string>

#include "control/ui/RestartRequest.h"

namespace control::ui {

struct CountdownSpec {
    bool restart;           // false: power off
    int seconds;
    bool scheduleWording;   // names the power schedule as the reason
    bool okEnabled;         // OK requests at once
    bool cancelEnabled;
};

// Opened by the power schedule at its time: 30 seconds, either button may be pressed.
CountdownSpec PowerScheduleCountdown(bool restart);
// After a protection change: a restart in 5 seconds that cannot be confirmed early.
CountdownSpec ProtectionChangeCountdown();

// The text of message 1010; not updated while counting.
std::wstring CountdownMessage(const CountdownSpec& spec);

// Counts timer ticks the way the window's progress bar does: range 1..seconds, starting at the
// bottom, one step a tick; the count is reached after seconds - 1 ticks. Once reached (or after
// OK or Cancel) it does nothing more, so a late tick never asks twice.
class CountdownRun {
public:
    CountdownRun(const CountdownSpec& spec, IRestartPort& port) : m_spec(spec), m_port(port) {}

    int Position() const { return m_position; }
    bool Finished() const { return m_finished; }

    // One timer tick; true when the count was reached now (the request went out: close the window).
    bool Tick();
    // OK: the request at once. Ignored when OK is disabled or the run is over.
    bool Confirm();
    // Cancel: the run ends without a request.
    void Cancel() { m_finished = true; }

private:
    void Request();

    CountdownSpec m_spec;
    IRestartPort& m_port;
    int m_position = 1;
    bool m_finished = false;
};

}  // namespace control::ui
