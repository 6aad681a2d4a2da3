// The base of the six pages hosted by the settings container: a skinned page at (193, 11),
// 409 x 346, whose static labels and radios are drawn straight onto its background image.
#pragma once

#include <windows.h>

#include "control/ui/SkinWidgets.h"

namespace control::protect {

constexpr RECT kHostedPageRect{193, 11, 193 + 409, 11 + 346};

class CEnvironmentPage : public ui::CSkinPage {
public:
    CEnvironmentPage(UINT templateId, UINT backgroundId) : CSkinPage(templateId, backgroundId, kHostedPageRect) {}

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
            // Labels and radios show the background image through their text.
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            result = reinterpret_cast<INT_PTR>(::GetStockObject(HOLLOW_BRUSH));
            return true;
        }
        return CSkinPage::OnMessage(message, wParam, lParam, result);
    }
};

}  // namespace control::protect
