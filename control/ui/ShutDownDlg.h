// The restart countdown window (template 144): modeless, topmost, deletes itself when its window
// goes. Made in one of two forms, for the power schedule and after a protection change.
#pragma once

#include <windows.h>

#include "control/ui/Countdown.h"
#include "platform/dialog/Dialog.h"

namespace control::ui {

class CShutDownDlg : public platform::dialog::CDialog {
public:
    // The power schedule's: 30 seconds, OK and Cancel, the schedule named as the reason.
    static CShutDownDlg* MakePowerSchedule(bool restart);
    // After a protection change: a restart in 5 seconds; OK is disabled.
    static CShutDownDlg* MakeAfterProtectionChange();

    // Creates the window with `owner` as parent and shows it; from then on it runs by itself.
    // On failure the object is deleted and false returned.
    bool Open(HWND owner);

protected:
    BOOL OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnFinalDestroy() override { delete this; }

private:
    CShutDownDlg(const CountdownSpec& spec, IRestartPort& port);
    void StopTimer();

    CountdownRun m_run;
    CountdownSpec m_spec;
    bool m_bTimer = false;
};

}  // namespace control::ui
