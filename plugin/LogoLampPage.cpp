#include "LogoLampPage.h"
#include "LogoLEDModeOption.h"
#include "device/UtilityLibrary.h"
#include "peryl/resource.h"

namespace {

SettingOption* MakeLedModeOption()
{
    return new CLogoLEDModeOption;
}

const LampPageForm form = {
    IDS_LOGO_LAMP_TITLE,
    IDS_LOGO_LAMP_DESCRIPTION,
    IDD_LOGO_LAMP_PAGE,
    {{IDC_LOGO_LAMP_HEADING, 0, 0, 480, 20},
     {IDC_LOGO_LAMP_TOP_RULE, 0, 21, 480, 1},
     {IDC_LOGO_LAMP_MODE_1, 12, 25, 480, 20},
     {IDC_LOGO_LAMP_MODE_2, 12, 50, 480, 20},
     {IDC_LOGO_LAMP_MODE_3, 12, 75, 480, 20},
     {IDC_LOGO_LAMP_EXPLANATION, 0, 100, 480, 80},
     {IDC_LOGO_LAMP_APPS_LABEL, 0, 185, 480, 20},
     {IDC_LOGO_LAMP_APPS_RULE, 0, 206, 480, 1},
     {IDC_LOGO_LAMP_APPS_NOTE, 0, 210, 480, 60},
     {IDC_LOGO_LAMP_APP_LIST, 0, 265, 480, 70}},
    IDC_LOGO_LAMP_MODE_1,
    IDC_LOGO_LAMP_APP_LIST,
    logoLampCapability,
    &MakeLedModeOption,
};

}  // namespace

CLogoLampCtrlClass::CLogoLampCtrlClass(const CString& identity) : CLampPage(form, identity)
{
}
