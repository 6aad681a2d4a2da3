// The control program's main window. It starts hidden and is shown from the tray or when a
// second start of the program asks for it (message 1124 with 515).
#pragma once

#include "platform/dialog/Dialog.h"

namespace control::ui {

constexpr UINT WM_TRAY_NOTIFY = 1124;       // tray-icon callback message
constexpr LPARAM kTrayLeftDoubleClick = 515; // WM_LBUTTONDBLCLK

class CHDDCorvaneDlg : public platform::dialog::CDialog {
public:
    CHDDCorvaneDlg();

    // Lets the window show, centres it and brings it to the front.
    void OpenFromTray();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}      // Enter never closes the window
    void OnCancel() override {}  // nor does Escape
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    bool m_bShowPermitted = false;
};

}  // namespace control::ui
