// The password change page (template 137), first page of the settings container.
#pragma once

#include "control/protect/EnvironmentPage.h"

namespace control::ui {

class CPwDlg : public protect::CEnvironmentPage {
public:
    CPwDlg();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void ClearEdits();

    CLJImgBtn m_okButton;
};

}  // namespace control::ui
