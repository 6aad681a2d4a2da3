// The home page: four pictures edge to edge with four large buttons leading to the everyday
// tasks. Creating it holds the program back until the agent service runs.
#pragma once

#include "control/ui/SkinWidgets.h"

namespace control::ui {

class CHDDCorvaneDlg;

// True only when the service "CorvaneAgent" exists and is running.
bool IsAgentServiceRunning();

class CHomeDlg : public platform::dialog::CDialog {
public:
    explicit CHomeDlg(CHDDCorvaneDlg& mainWindow);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void SkinButton(int index);
    void WaitForAgentService();

    CHDDCorvaneDlg& m_mainWindow;
    // Quadrants in the order of kHomeButtons: top left, top right, bottom left, bottom right.
    platform::win32::ScopedGdiObject m_quadrants[4];
    CLJImgBtn m_buttons[4];
};

}  // namespace control::ui
