#include "LampBrightnessPage.h"
#include "device/UtilityLibrary.h"
#include "peryl/resource.h"

namespace {

// No option: what a selection does is the host's radio item's business.
const LampPageForm form = {
    IDS_LAMP_BRIGHTNESS_TITLE,
    IDS_LAMP_BRIGHTNESS_DESCRIPTION,
    IDD_LAMP_BRIGHTNESS_PAGE,
    {{IDC_LAMP_BRIGHTNESS_HEADING, 0, 0, 480, 20},
     {IDC_LAMP_BRIGHTNESS_TOP_RULE, 0, 21, 480, 1},
     {IDC_LAMP_BRIGHTNESS_LEVEL_1, 12, 25, 480, 20},
     {IDC_LAMP_BRIGHTNESS_LEVEL_2, 12, 50, 480, 20},
     {IDC_LAMP_BRIGHTNESS_LEVEL_3, 12, 75, 480, 20},
     {IDC_LAMP_BRIGHTNESS_EXPLANATION, 0, 100, 480, 80},
     {IDC_LAMP_BRIGHTNESS_APPS_LABEL, 0, 185, 480, 20},
     {IDC_LAMP_BRIGHTNESS_APPS_RULE, 0, 206, 480, 1},
     {IDC_LAMP_BRIGHTNESS_APPS_NOTE, 0, 210, 480, 60},
     {IDC_LAMP_BRIGHTNESS_APP_LIST, 0, 265, 480, 70}},
    IDC_LAMP_BRIGHTNESS_LEVEL_1,
    IDC_LAMP_BRIGHTNESS_APP_LIST,
    lampBrightnessCapability,
    nullptr,
};

}  // namespace

CLampBrightnessCtrlClass::CLampBrightnessCtrlClass(const CString& identity) : CLampPage(form, identity)
{
}
