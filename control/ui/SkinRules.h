// The arithmetic of skinned buttons: a button image is a strip of four equal states side by
// side (normal, hover, pressed, disabled), and the state shown follows a fixed priority.
#pragma once

namespace control::ui {

enum ButtonState : int {
    kStateNormal = 0,
    kStateHover = 1,
    kStatePressed = 2,
    kStateDisabled = 3,
};
constexpr int kStripStates = 4;

// Pressed wins over disabled, disabled over hover, hover over normal.
ButtonState PickButtonState(bool pressed, bool disabled, bool hover);

struct StateSize {
    int width;
    int height;
};
// The size of one state of a strip; a strip narrower than four pixels has no usable state.
StateSize StripStateSize(int stripWidth, int stripHeight);
bool IsUsableStateSize(StateSize size);

// Where the given state starts in the strip.
int StateSourceX(ButtonState state, int stateWidth);

// True when a client point lies on the button: 0 <= x < width and 0 <= y < height.
bool IsInsideClient(int x, int y, int width, int height);

}  // namespace control::ui
