// Resource ids of the control program. The numbers are fixed: code, templates and skins meet
// through them.
#pragma once

#define IDS_PRODUCT_NAME        138
#define IDS_NOT_INSTALLED       202
#define IDS_MBR_RESTART         247

#define IDD_HDDCORVANE_DIALOG   102
#define IDC_PLACEHOLDER_LABEL   1000

#define IDI_CORVANE             264
