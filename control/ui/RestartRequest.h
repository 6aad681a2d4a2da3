// The one way the control program asks Windows to restart or power off. Windows code goes through
// SystemRestartPort(); tests hand the countdown a recorder instead, so nothing goes down.
#pragma once

namespace control::ui {

class IRestartPort {
public:
    virtual ~IRestartPort() = default;
    // Asks for a restart (`restart`) or a power-off. The outcome is not reported: after a
    // refused request the program simply goes on.
    virtual void RequestSystemExit(bool restart) = 0;
};

// The real request: shutdown privilege, then ExitWindowsEx. Windows only.
IRestartPort& SystemRestartPort();

}  // namespace control::ui
