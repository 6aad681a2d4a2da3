// Control ids of the cvauto self-test dialog; the harness self-check script uses the same numbers.
#pragma once

#define IDD_DEMO 100
#define IDC_DEMO_EDIT 1001
#define IDC_DEMO_PRESS 1002
#define IDC_DEMO_COUNT 1003
#define IDC_DEMO_CHECK 1004
#define IDC_DEMO_HANGUL 1005
#define IDC_DEMO_MESSAGE 1006
#define IDC_DEMO_ECHO 1007
#define IDC_DEMO_LOCKED 1008
#define IDC_DEMO_RADIO_AUTO 1009
#define IDC_DEMO_RADIO_MANUAL 1010
#define IDC_DEMO_LIST 1011
#define IDC_DEMO_TIME 1012
#define IDC_DEMO_TABS 1013
#define IDC_DEMO_TAB_LABEL 1014
#define IDD_DEMO_PAGE 101
#define IDC_PAGE_BUTTON 1020
#define IDC_PAGE_LABEL 1021
#define IDC_DEMO_PAGE_FIRST 1030
#define IDC_DEMO_PAGE_SECOND 1031
