// The administrator password prompt (template 136) and the gate the pages call before they
// change anything.
#pragma once

#include <windows.h>

#include <string>

#include "control/ui/PasswordGate.h"
#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::ui {

class CAdminDlg : public platform::dialog::CDialog {
public:
    // `buffer` receives the typed text on OK: at most `capacity` - 1 characters, terminated.
    CAdminDlg(wchar_t* buffer, size_t capacity);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    wchar_t* m_pszBuffer;
    size_t m_nCapacity;
    platform::win32::ScopedGdiObject m_whiteBrush;
};

// The real prompt and message box behind the portable gate.
class CAdminPrompt : public IAdminPrompt {
public:
    bool Ask(std::wstring& text) override;
};
class CMessageBoxPort : public IMessagePort {
public:
    int Show(unsigned style, unsigned stringId) override;
};

// Runs the gate with the real prompt, ShowMessage and the process's core client.
bool AskAdminPassword(std::wstring& password);

}  // namespace control::ui
