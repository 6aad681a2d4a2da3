#include "control/ui/ShowMessage.h"

#include <windows.h>

#include "control/ui/MainWindowHandle.h"
#include "platform/dialog/Dialog.h"
#include "resources/control/resource.h"

int ShowMessage(unsigned style, unsigned stringId) {
    wchar_t text[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), stringId, text, 256);
    std::wstring caption = platform::dialog::LoadStringResource(IDS_PRODUCT_NAME);
    return ::MessageBoxW(control::ui::MainWindowHandle(), text, caption.c_str(), style);
}
