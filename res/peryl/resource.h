#pragma once
// Resource identifiers of Peryl: the DLL and its language resource.

// --- pages: title string, description string, dialog template ----------------
#define IDD_LOGO_LAMP_PAGE 101
#define IDD_LAMP_BRIGHTNESS_PAGE 102
#define IDS_LOGO_LAMP_TITLE 103
#define IDS_LOGO_LAMP_DESCRIPTION 104
#define IDS_LAMP_BRIGHTNESS_TITLE 105
#define IDS_LAMP_BRIGHTNESS_DESCRIPTION 106

// --- logo-lamp page ------------------------------------------------------------
#define IDC_LOGO_LAMP_MODE_1 1001
#define IDC_LOGO_LAMP_MODE_2 1002
#define IDC_LOGO_LAMP_MODE_3 1003
#define IDC_LOGO_LAMP_APP_LIST 1004
#define IDC_LOGO_LAMP_HEADING 1009
#define IDC_LOGO_LAMP_EXPLANATION 1010
#define IDC_LOGO_LAMP_APPS_LABEL 1011
#define IDC_LOGO_LAMP_APPS_NOTE 1012
#define IDC_LOGO_LAMP_TOP_RULE 1017
#define IDC_LOGO_LAMP_APPS_RULE 1018

// --- lamp-brightness page --------------------------------------------------------
#define IDC_LAMP_BRIGHTNESS_LEVEL_1 1005
#define IDC_LAMP_BRIGHTNESS_LEVEL_2 1006
#define IDC_LAMP_BRIGHTNESS_LEVEL_3 1007
#define IDC_LAMP_BRIGHTNESS_APP_LIST 1008
#define IDC_LAMP_BRIGHTNESS_HEADING 1013
#define IDC_LAMP_BRIGHTNESS_EXPLANATION 1014
#define IDC_LAMP_BRIGHTNESS_APPS_LABEL 1015
#define IDC_LAMP_BRIGHTNESS_APPS_NOTE 102
#define IDC_LAMP_BRIGHTNESS_TOP_RULE 1019
#define IDC_LAMP_BRIGHTNESS_APPS_RULE 1020
