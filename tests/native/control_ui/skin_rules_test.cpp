#include "control/ui/SkinRules.h"

#include <gtest/gtest.h>

namespace {

using namespace control::ui;

TEST(SkinButtonState, PressedThenDisabledThenHoverThenNormal) {
    struct Case { bool pressed, disabled, hover; ButtonState state; };
    const Case cases[] = {
        {false, false, false, kStateNormal},
        {false, false, true, kStateHover},
        {false, true, true, kStateDisabled},   // disabled and hovered shows disabled
        {false, true, false, kStateDisabled},
        {true, false, true, kStatePressed},    // pressed while hovered shows pressed
        {true, true, true, kStatePressed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.state, PickButtonState(c.pressed, c.disabled, c.hover))
            << c.pressed << c.disabled << c.hover;
}

TEST(SkinStrip, FourEqualStatesSideBySide) {
    StateSize size = StripStateSize(400, 30);
    EXPECT_EQ(100, size.width);
    EXPECT_EQ(30, size.height);
    // Pressed shows pixels 200-299 of the strip.
    EXPECT_EQ(200, StateSourceX(kStatePressed, size.width));
    EXPECT_EQ(0, StateSourceX(kStateNormal, size.width));
    EXPECT_EQ(100, StateSourceX(kStateHover, size.width));
    EXPECT_EQ(300, StateSourceX(kStateDisabled, size.width));

    // A width that does not divide by four drops the remainder rather than reading past a state.
    EXPECT_EQ(100, StripStateSize(403, 30).width);
    EXPECT_TRUE(IsUsableStateSize(StripStateSize(4, 1)));
    EXPECT_FALSE(IsUsableStateSize(StripStateSize(3, 30)));
    EXPECT_FALSE(IsUsableStateSize(StripStateSize(400, 0)));
    EXPECT_FALSE(IsUsableStateSize(StripStateSize(-8, 30)));
}

TEST(SkinHover, InsideClientExcludesRightAndBottomEdges) {
    struct Case { int x, y; bool inside; };
    const Case cases[] = {{0, 0, true}, {99, 29, true}, {100, 10, false}, {10, 30, false}, {-1, 10, false},
                          {10, -1, false}};
    for (const Case& c : cases) EXPECT_EQ(c.inside, IsInsideClient(c.x, c.y, 100, 30)) << c.x << "," << c.y;
}

}  // namespace
