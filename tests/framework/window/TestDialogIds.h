#pragma once
// Resource ids of the dialogs the framework's window tests run.

#define IDD_FRAMEWORK_TEST 100     // with a dialog font
#define IDD_FRAMEWORK_NO_FONT 101  // without one: WM_INITDIALOG is its first message
#define IDD_FRAMEWORK_MISSING 199  // no such template

#define IDC_TEST_COMBO 1001
#define IDC_TEST_EDIT 1002
#define IDC_TEST_RANGE_FIRST 1010
#define IDC_TEST_RANGE_MIDDLE 1011
#define IDC_TEST_RANGE_LAST 1012
#define IDC_TEST_BASE_BUTTON 1020
#define IDC_TEST_LABEL 1040
#define IDC_TEST_CHECK 1041
#define IDC_TEST_LIST 1042
#define IDC_TEST_SCROLL 1043
#define IDC_TEST_PICTURE 1044
