#include "control/ui/PasswordGate.h"

#include "control/core/CorvaneCtrl.h"
#include "control/core/CorvaneResults.h"
#include "resources/control/settings_ids.h"

namespace control::ui {

namespace {

// The message for a refusal by the library: the lockout has its own text because typing again
// cannot help until the system restarts.
unsigned RefusalMessage(CorvaneCtrl& core, unsigned otherwise) {
    return core.GetLastResult() == CORVANE_E_PASSWORD_LOCKED ? IDS_PASSWORD_LOCKED : otherwise;
}

}  // namespace

bool HasSpaceCharacter(const std::wstring& text) { return text.find(L' ') != std::wstring::npos; }

bool AskAdminPassword(IAdminPrompt& prompt, IMessagePort& messages, CorvaneCtrl& core, std::wstring& password) {
    std::wstring typed;
    if (!prompt.Ask(typed)) return false;
    if (typed.size() > kPasswordChars - 1) typed.resize(kPasswordChars - 1);
    // Refused before the library sees it, so a slip of the space bar is not a wrong attempt.
    if (HasSpaceCharacter(typed)) {
        messages.Show(kMsgError, IDS_PASSWORD_HAS_SPACE);
        return false;
    }
    if (!core.VerifyPassword(core.HashPassword(typed.c_str()))) {
        messages.Show(kMsgError, RefusalMessage(core, IDS_PASSWORD_WRONG));
        return false;
    }
    password = typed;
    return true;
}

PasswordChangeResult ChangeAdminPassword(IMessagePort& messages, CorvaneCtrl& core, const std::wstring& current,
                                         const std::wstring& fresh, const std::wstring& confirmation) {
    if (HasSpaceCharacter(fresh) || HasSpaceCharacter(current)) {
        messages.Show(kMsgError, IDS_PASSWORD_HAS_SPACE);
        return PasswordChangeResult::kRefused;
    }
    if (fresh != confirmation) {
        messages.Show(kMsgError, IDS_PASSWORD_WRONG);
        return PasswordChangeResult::kRefused;
    }
    uint32_t currentHash = core.HashPassword(current.c_str());
    uint32_t freshHash = core.HashPassword(fresh.c_str());
    if (core.ChangePassword(currentHash, freshHash)) {
        messages.Show(kMsgInformation, IDS_PASSWORD_CHANGED);
        return PasswordChangeResult::kChanged;
    }
    messages.Show(kMsgError, RefusalMessage(core, IDS_CURRENT_PASSWORD_WRONG));
    return PasswordChangeResult::kFailed;
}

}  // namespace control::ui
