// The administrator settings container (dialog 135), seventh page of the main window: a menu
// drawn in its background on the left and six pages hosted on the right.
#pragma once

#include <windows.h>

#include <memory>

#include "control/protect/EnvironmentMenu.h"
#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::protect {

class CEnvironmentDlg : public platform::dialog::CDialog {
public:
    CEnvironmentDlg();
    ~CEnvironmentDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void SelectItem(int item);
    platform::dialog::CDialog* Page(int item) const { return m_pages[item - 1].get(); }

    // Indexed by menu item - 1.
    std::unique_ptr<platform::dialog::CDialog> m_pages[kMenuItemCount];
    platform::win32::ScopedGdiObject m_backgrounds[kMenuItemCount];
    int m_nCurrentItem = 1;
    platform::dialog::CDialog* m_pCurrentPage = nullptr;
    HBITMAP m_hCurrentBackground = nullptr;
};

}  // namespace control::protect
