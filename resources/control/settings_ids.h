// Resource ids of the administrator settings: the settings container and its pages, the password
// prompt and the restart countdown. The numbers are fixed; code, templates and skins meet here.
// Plain defines only, so portable code and the resource compiler can both include it.
#pragma once

// Strings.
#define IDS_RESTORE_MODE_COLUMN     154
#define IDS_PASSWORD_HAS_SPACE      178
#define IDS_PASSWORD_WRONG          180
#define IDS_RESTART_CONFIRM         181
#define IDS_SETTINGS_FAILED         196
#define IDS_PASSWORD_CHANGED        197
#define IDS_CURRENT_PASSWORD_WRONG  198
#define IDS_POWER_SCHEDULE_SAVED    200
#define IDS_PASSWORD_LOCKED         227
#define IDS_DRIVE_COLUMN            234

// Dialog templates.
#define IDD_ADMIN                   136
#define IDD_PASSWORD_PAGE           137
#define IDD_CHANGE_MODE             138
#define IDD_SECURITY_PAGE           140
#define IDD_SYS_POWER               141
#define IDD_SHUTDOWN                144
#define IDD_UNPROT_PAGE             146
#define IDD_TBOOT_PAGE              147

// Password prompt (136).
#define IDC_ADMIN_FRAME             1004
#define IDC_ADMIN_PASSWORD          1005
#define IDC_ADMIN_LABEL             1068

// Password change page (137).
#define IDC_PW_CURRENT_LABEL        1022
#define IDC_PW_NEW_LABEL            1023
#define IDC_PW_CONFIRM_LABEL        1024
#define IDC_PW_CURRENT              1025
#define IDC_PW_NEW                  1026
#define IDC_PW_CONFIRM              1027

// The OK button of the hosted pages (a skinned image button).
#define IDC_SETTINGS_OK             1066

// Restore-mode page (138).
#define IDC_CHANGE_MODE_LIST        1026

// Power schedule page (141).
#define IDC_POWER_TIME              1042
#define IDC_POWER_NONE              1056
#define IDC_POWER_SHUTDOWN          1057
#define IDC_POWER_RESTART           1058

// Restart countdown (144).
#define IDC_SHUTDOWN_MESSAGE        1010
#define IDC_SHUTDOWN_PROGRESS       1049

// Skin images, resource type "PNG".
#define IDB_SETTINGS_OK_BUTTON      248
#define IDB_ENV_RESTORE_MODE        252
#define IDB_ENV_EXCLUDED_FOLDERS    253
#define IDB_ENV_PASSWORD_MENU       254
#define IDB_ENV_POWER               255
#define IDB_ENV_SECURITY            256
#define IDB_PAGE_RESTORE_MODE       257
#define IDB_PAGE_POWER              258
#define IDB_PAGE_PASSWORD           259
#define IDB_ENV_TURBO_BOOT          277
