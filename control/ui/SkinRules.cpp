#include "control/ui/SkinRules.h"

namespace control::ui {

ButtonState PickButtonState(bool pressed, bool disabled, bool hover) {
    if (pressed) return kStatePressed;
    if (disabled) return kStateDisabled;
    if (hover) return kStateHover;
    return kStateNormal;
}

StateSize StripStateSize(int stripWidth, int stripHeight) {
    if (stripWidth < 0 || stripHeight < 0) return {0, 0};
    return {stripWidth / kStripStates, stripHeight};
}

bool IsUsableStateSize(StateSize size) { return size.width > 0 && size.height > 0; }

int StateSourceX(ButtonState state, int stateWidth) { return static_cast<int>(state) * stateWidth; }

bool IsInsideClient(int x, int y, int width, int height) {
    return x >= 0 && x < width && y >= 0 && y < height;
}

}  // namespace control::ui
