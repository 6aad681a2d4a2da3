// The settings container's menu: six items drawn in its background images, each band 30 pixels
// high, and which page and background belong to each item.
#pragma once

namespace control::protect {

constexpr int kMenuItemCount = 6;
constexpr int kNoMenuItem = 0;

// The menu item (1-6) under a point of the container, or kNoMenuItem. Item k spans x 5-193 and
// y top(k) to top(k) + 30, ends included; the tops are 35, 66, 97, 128, 159, 190.
int MenuItemAt(int x, int y);

// Dialog template of the page shown for item 1-6, and the background image selected with it.
unsigned MenuItemPage(int item);
unsigned MenuItemBackground(int item);

// The order the container creates its pages in, as dialog templates.
constexpr unsigned kPageCreationOrder[kMenuItemCount] = {137, 138, 146, 140, 141, 147};

// A release of the mouse switches only to another item.
bool ShouldSwitchMenuItem(int hitItem, int currentItem);

}  // namespace control::protect
