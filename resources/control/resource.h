// Resource ids of the control program. The numbers are fixed: code, templates and skins meet
// through them.
#pragma once

// Strings.
#define IDS_PRODUCT_NAME        138
#define IDS_MODE_RELEASE        149
#define IDS_MODE_DAY_RELEASE    150
#define IDS_MODE_AUTO_RESTORE   151
#define IDS_MODE_MANUAL_RESTORE 152
#define IDS_RESTORE_NOT_USED    195
#define IDS_NOT_INSTALLED       202
#define IDS_MODE_RESTORE        228
#define IDS_RESTORE_UNUSED_NOTE 231
#define IDS_MBR_RESTART         247

// Dialog templates.
#define IDD_HDDCORVANE_DIALOG   102
#define IDD_STATUS              130
#define IDD_RESTORE_EXE         131
#define IDD_RESTORE_CRT         132
#define IDD_PROTECT_CLR         133
#define IDD_SCHEDULE            134
#define IDD_ENVIRONMENT         135
#define IDD_HOME                145
#define IDD_LIST_ROW_PANEL      275
#define IDD_ALERT_MSG           276

// Menus.
#define IDR_TRAY_MENU_ADMIN     145
#define IDR_TRAY_MENU           146
#define ID_TRAY_OPEN            32773
#define ID_TRAY_EXIT            32774
#define ID_TRAY_VDISK           32778
#define ID_TRAY_REMOTE_SUPPORT  32780

// Controls.
#define IDC_MODE_LABEL          1046
#define IDC_VERSION_LABEL       1047
#define IDC_CLOSE_BUTTON        1061
#define IDC_HOME_STATUS         1066
#define IDC_HOME_RESTORE_CRT    1064
#define IDC_HOME_RESTORE_EXE    1070
#define IDC_HOME_PROTECT_CLR    1071
#define IDC_ALERT_TEXT          1079
#define IDC_ROW_AUTO            1091
#define IDC_ROW_MANUAL          1092
#define IDC_ROW_UNUSED          1093
#define IDC_ALERT_DRIVES_LABEL  1092
#define IDC_ALERT_DRIVES        1093

// Icons (drawn with the skins).
#define IDI_CORVANE             264
#define IDI_TRAY_DAY_RELEASE    286
#define IDI_TRAY_MANUAL         287
#define IDI_TRAY_RELEASE        288

// Skin images, resource type "PNG".
#define IDB_MAIN_BACKGROUND     221
#define IDB_TAB_STATUS          227
#define IDB_TAB_PROTECT_CLR     228
#define IDB_TAB_RESTORE_CRT     229
#define IDB_TAB_ENVIRONMENT     230
#define IDB_TAB_RESTORE_EXE     231
#define IDB_TAB_HOME            232
#define IDB_TAB_SCHEDULE        233
#define IDB_HOME_BOTTOM_RIGHT   235
#define IDB_HOME_BOTTOM_LEFT    236
#define IDB_HOME_TOP_RIGHT      237
#define IDB_HOME_TOP_LEFT       238
#define IDB_PAGE_STATUS         239
#define IDB_PAGE_PROTECT_CLR    240
#define IDB_PAGE_RESTORE_CRT    241
#define IDB_PAGE_RESTORE_EXE    242
#define IDB_PAGE_SCHEDULE       243
#define IDB_ENV_PASSWORD        254
#define IDB_CLOSE_BUTTON        263
#define IDB_HOME_STATUS_BUTTON  269
#define IDB_HOME_CRT_BUTTON     271
#define IDB_HOME_EXE_BUTTON     272
#define IDB_HOME_CLR_BUTTON     282
