// The power schedule page (template 141), sixth page of the settings container. While a schedule
// is set it watches the clock and opens the 30-second countdown at the set hour and minute.
#pragma once

#include "control/protect/EnvironmentPage.h"
#include "control/ui/PowerSchedule.h"

namespace control::ui {

class CSysPowerDlg : public protect::CEnvironmentPage {
public:
    CSysPowerDlg();

    void LoadPowerSchedule();
    void SavePowerSchedule();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SyncWatchTimer();

    CLJImgBtn m_okButton;
    PowerSchedule m_schedule;
    bool m_bWatchTimer = false;
};

}  // namespace control::ui
