// The restore-mode page (template 138), second page of the settings container: one row per
// protected drive with the three restore-mode radios, and the button that applies them.
#pragma once

#include "control/protect/EnvironmentPage.h"
#include "control/ui/RdListCtrl.h"

namespace control::protect {

class CChangeModeDlg : public CEnvironmentPage {
public:
    CChangeModeDlg();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void FillRows();
    void RefreshRadios();
    void Apply();
    char RowLetter(int row) const;

    ui::CRdListCtrl m_list;
    ui::CLJImgBtn m_okButton;
};

}  // namespace control::protect
