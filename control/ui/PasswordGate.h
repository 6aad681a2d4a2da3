// The administrator password gate every guarded action runs before it changes anything, and the
// password change procedure of the settings container's first page. The library alone knows the
// password and counts wrong attempts; the program only hashes what was typed and reports.
#pragma once

#include <string>

class CorvaneCtrl;

namespace control::ui {

// Message-box styles the settings pages use.
constexpr unsigned kMsgError = 16;
constexpr unsigned kMsgWarning = 48;
constexpr unsigned kMsgInformation = 64;
constexpr unsigned kMsgYesNoQuestion = 36;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

// Capacity of every password buffer, in characters.
constexpr size_t kPasswordChars = 260;

// Shows a string-table message; returns the button pressed.
class IMessagePort {
public:
    virtual ~IMessagePort() = default;
    virtual int Show(unsigned style, unsigned stringId) = 0;
};

// The password prompt (template 136): true with the typed text when closed with OK.
class IAdminPrompt {
public:
    virtual ~IAdminPrompt() = default;
    virtual bool Ask(std::wstring& text) = 0;
};

// Only the plain space is refused; tabs and other white space go to the library as typed.
bool HasSpaceCharacter(const std::wstring& text);

// Prompt, refuse a space, verify through the library. True with `password` set to the typed
// text; false after the user has been told why (or silently when the prompt was cancelled).
bool AskAdminPassword(IAdminPrompt& prompt, IMessagePort& messages, CorvaneCtrl& core, std::wstring& password);

enum class PasswordChangeResult {
    kRefused,  // a space or a confirmation mismatch: nothing was asked, the edits stay
    kChanged,
    kFailed,   // the library refused; the edits are cleared as after a change
};

// Button 1066 of the password page. After kChanged and kFailed the page clears its three edits.
PasswordChangeResult ChangeAdminPassword(IMessagePort& messages, CorvaneCtrl& core, const std::wstring& current,
                                         const std::wstring& fresh, const std::wstring& confirmation);

}  // namespace control::ui
