// The confirmation dialog that names the drives a restore or a restore point will touch.
#pragma once

#include <windows.h>

#include <string>

#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::ui {

class CAlertMsgDlg : public platform::dialog::CDialog {
public:
    static constexpr size_t kTextCapacity = 260;  // characters, terminator included

    CAlertMsgDlg();

    // Each text is kept to what the dialog holds.
    void SetTitle(const std::wstring& title);
    void SetDrives(const std::wstring& drives);
    void SetExplanation(const std::wstring& text);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    std::wstring m_strTitle;
    std::wstring m_strDrives;
    std::wstring m_strText;
    platform::win32::ScopedGdiObject m_whiteBrush;
};

}  // namespace control::ui
