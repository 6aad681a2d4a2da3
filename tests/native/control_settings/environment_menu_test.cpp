#include "control/protect/EnvironmentMenu.h"

#include <gtest/gtest.h>

#include "resources/control/settings_ids.h"

namespace {

using namespace control::protect;

TEST(EnvironmentMenu, BandsIncludeBothEnds) {
    struct Case { int x, y, item; };
    const Case cases[] = {
        {5, 35, 1},   {193, 65, 1}, {100, 66, 2}, {100, 96, 2}, {100, 97, 3}, {100, 128, 4},
        {100, 159, 5}, {100, 190, 6}, {100, 220, 6},
        {4, 50, kNoMenuItem}, {194, 50, kNoMenuItem}, {100, 34, kNoMenuItem}, {100, 221, kNoMenuItem},
    };
    for (const Case& c : cases) EXPECT_EQ(c.item, MenuItemAt(c.x, c.y)) << "x=" << c.x << " y=" << c.y;
}

TEST(EnvironmentMenu, PagesAndBackgroundsPerItem) {
    struct Case { int item; unsigned page, background; };
    const Case cases[] = {{1, 137, 254}, {2, 138, 252}, {3, 146, 253}, {4, 147, 277},
                          {5, 140, 256}, {6, 141, 255}, {0, 0, 0},     {7, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.page, MenuItemPage(c.item)) << c.item;
        EXPECT_EQ(c.background, MenuItemBackground(c.item)) << c.item;
    }
    // Every page is created once, in its own order.
    for (int item = 1; item <= kMenuItemCount; ++item) {
        int found = 0;
        for (unsigned page : kPageCreationOrder) found += page == MenuItemPage(item);
        EXPECT_EQ(1, found) << item;
    }
}

TEST(EnvironmentMenu, ReleaseSwitchesOnlyToAnotherItem) {
    EXPECT_TRUE(ShouldSwitchMenuItem(4, 1));
    EXPECT_FALSE(ShouldSwitchMenuItem(1, 1));
    EXPECT_FALSE(ShouldSwitchMenuItem(kNoMenuItem, 1));
}

}  // namespace
