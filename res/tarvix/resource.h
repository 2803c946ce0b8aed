#pragma once
// Resource identifiers of TarvixUtility: the program file and its language DLL.

// --- program file ------------------------------------------------------------
#define IDI_APPLICATION_ICON 128
#define IDB_MOUSE_PICTURE 300      // drawn for 96 DPI
#define IDB_MOUSE_PICTURE_120 310  // the same picture drawn for 120, 144 and 192 DPI
#define IDB_MOUSE_PICTURE_144 311
#define IDB_MOUSE_PICTURE_192 312

// --- dialog templates --------------------------------------------------------
#define IDD_APPLICATION_CHOOSER 250
#define IDD_MAIN_DIALOG 303
#define IDD_KEY_COMBINATION 304

// --- main dialog controls ----------------------------------------------------
#define IDC_APPLY 3
#define IDC_PRESET_LIST 1455
#define IDC_OPTION_CHECK 1456
#define IDC_PRESET_CAPTION 1457
#define IDC_BUTTON0_PANEL 1458
#define IDC_BUTTON1_PANEL 1459
#define IDC_TOP_RULE 1460
#define IDC_BOTTOM_RULE 1461
#define IDC_OK 1462
#define IDC_CANCEL 1463
#define IDC_MOUSE_PICTURE 1464
#define IDC_BUTTON0_SETTINGS 1465
#define IDC_BUTTON1_SETTINGS 1466
#define IDC_BUTTON0_FUNCTIONS 1467
#define IDC_BUTTON1_FUNCTIONS 1468
#define IDC_BUTTON0_LABEL 1469
#define IDC_BUTTON1_LABEL 1470

// --- key-combination dialog controls ----------------------------------------
#define IDC_MODIFIER_LIST 1471
#define IDC_CATEGORY_LIST 1472
#define IDC_KEY_LIST 1473

// --- application chooser controls --------------------------------------------
#define IDC_APP_PATH 1281
#define IDC_APP_BROWSE 1282
#define IDC_APP_ARGUMENTS 1283
#define IDC_APP_FOLDER 1284

// --- strings -----------------------------------------------------------------
#define IDS_LAUNCH_ENTRY_NAME 1210
#define IDS_FUNCTION_TEXT_FORMAT 1232
#define IDS_APP_TITLE 6067  // also the single-instance mutex name
#define IDS_BUTTON_SETUP_FAILED 6175
#define IDS_INVALID_APPLICATION 6300
#define IDS_PROGRAM_FILTER 7200
#define IDS_PRESET_0 40001
#define IDS_PRESET_1 40003
#define IDS_PRESET_2 40004
#define IDS_PRESET_3 40005
#define IDS_PRESET_4 40006
#define IDS_PRESET_5 40007
#define IDS_PRESET_6 40008
#define IDS_PRESET_OWN 40009
#define IDS_KEY_ENTRY_NAME 40028

// Key-combination dialog: category list items 1..5, then the named keys.
#define IDS_CATEGORY_LETTER 40095
#define IDS_CATEGORY_SYMBOL 40096
#define IDS_CATEGORY_DIGIT 40097
#define IDS_CATEGORY_ARROW 40098
#define IDS_CATEGORY_FUNCTION 40099
#define IDS_KEY_RETURN 40100
#define IDS_KEY_SPACE 40101
#define IDS_KEY_TAB 40102
#define IDS_KEY_DELETE 40103
#define IDS_KEY_BACK 40104
#define IDS_KEY_ESCAPE 40105
#define IDS_KEY_HOME 40106
#define IDS_KEY_END 40107
#define IDS_KEY_PRIOR 40108
#define IDS_KEY_NEXT 40109
#define IDS_KEY_LEFT 40110
#define IDS_KEY_UP 40111
#define IDS_KEY_RIGHT 40112
#define IDS_KEY_DOWN 40113
#define IDS_NO_KEY 40114
#define IDS_KEY_SHIFT 40115
#define IDS_KEY_ALT 40116
#define IDS_KEY_CTRL 40117
#define IDS_KEY_WIN 40118
#define IDS_MODIFIER_PAIR_FIRST 40119  // 40119..40122: two modifier names joined by "+"
#define IDS_MODIFIER_PAIR_LAST 40122
#define IDS_SYMBOL_KEYS 40123  // one character per symbol key
#define IDS_SYMBOL_MULTIPLY 40124
#define IDS_SYMBOL_ADD 40125
#define IDS_SYMBOL_SUBTRACT 40126
#define IDS_SYMBOL_DIVIDE 40127
#define IDS_SYMBOL_SEMICOLON 40128
#define IDS_SYMBOL_EQUALS 40129
#define IDS_SYMBOL_GRAVE 40130
#define IDS_SYMBOL_OPEN_BRACKET 40131
#define IDS_SYMBOL_CLOSE_BRACKET 40132
#define IDS_SYMBOL_QUOTE 40133
#define IDS_SYMBOL_COMMA 40134  // not a key of the key-name list
#define IDS_SYMBOL_BACKSLASH 40135
#define IDS_SYMBOL_PERIOD 40136
// Accessible names of the controls each panel repeats, by button: no label names them.
#define IDS_FUNCTIONS_NAME_0 40140
#define IDS_FUNCTIONS_NAME_1 40141
#define IDS_SETTINGS_NAME_0 40142
#define IDS_SETTINGS_NAME_1 40143
