#include "control/protect/EnvironmentMenu.h"

#include "resources/control/settings_ids.h"

namespace control::protect {

namespace {

constexpr int kMenuLeft = 5;
constexpr int kMenuRight = 193;
constexpr int kMenuTops[kMenuItemCount] = {35, 66, 97, 128, 159, 190};
constexpr int kMenuBandHeight = 30;

struct MenuEntry {
    unsigned page;
    unsigned background;
};
constexpr MenuEntry kMenu[kMenuItemCount] = {
    {IDD_PASSWORD_PAGE, IDB_ENV_PASSWORD_MENU}, {IDD_CHANGE_MODE, IDB_ENV_RESTORE_MODE},
    {IDD_UNPROT_PAGE, IDB_ENV_EXCLUDED_FOLDERS}, {IDD_TBOOT_PAGE, IDB_ENV_TURBO_BOOT},
    {IDD_SECURITY_PAGE, IDB_ENV_SECURITY},      {IDD_SYS_POWER, IDB_ENV_POWER},
};

}  // namespace

int MenuItemAt(int x, int y) {
    if (x < kMenuLeft || x > kMenuRight) return kNoMenuItem;
    for (int i = 0; i < kMenuItemCount; ++i)
        if (y >= kMenuTops[i] && y <= kMenuTops[i] + kMenuBandHeight) return i + 1;
    return kNoMenuItem;
}

unsigned MenuItemPage(int item) { return item >= 1 && item <= kMenuItemCount ? kMenu[item - 1].page : 0; }

unsigned MenuItemBackground(int item) {
    return item >= 1 && item <= kMenuItemCount ? kMenu[item - 1].background : 0;
}

bool ShouldSwitchMenuItem(int hitItem, int currentItem) {
    return hitItem >= 1 && hitItem <= kMenuItemCount && hitItem != currentItem;
}

}  // namespace control::protect
