#include "LampBrightnessPage.h"
#include "LampPage.h"
#include "PageIdentity.h"
#include "detect/InheritListBox.h"
#include "device/UtilityLibrary.h"
#include "peryl/resource.h"

namespace {

const LampPageControl layout[] = {
    {IDC_LAMP_BRIGHTNESS_HEADING, 0, 0, 480, 20},
    {IDC_LAMP_BRIGHTNESS_TOP_RULE, 0, 21, 480, 1},
    {IDC_LAMP_BRIGHTNESS_LEVEL_1, 12, 25, 480, 20},
    {IDC_LAMP_BRIGHTNESS_LEVEL_2, 12, 50, 480, 20},
    {IDC_LAMP_BRIGHTNESS_LEVEL_3, 12, 75, 480, 20},
    {IDC_LAMP_BRIGHTNESS_EXPLANATION, 0, 100, 480, 80},
    {IDC_LAMP_BRIGHTNESS_APPS_LABEL, 0, 185, 480, 20},
    {IDC_LAMP_BRIGHTNESS_APPS_RULE, 0, 206, 480, 1},
    {IDC_LAMP_BRIGHTNESS_APPS_NOTE, 0, 210, 480, 60},
    {IDC_LAMP_BRIGHTNESS_APP_LIST, 0, 265, 480, 70},
};

} // namespace

CLampBrightnessCtrlClass::CLampBrightnessCtrlClass(const CString& identity)
    : PluginClass(IDS_LAMP_BRIGHTNESS_TITLE, IDS_LAMP_BRIGHTNESS_DESCRIPTION, IDD_LAMP_BRIGHTNESS_PAGE,
                  identity)
{
    SetCategory(lampPageCategory);
}

LONG CLampBrightnessCtrlClass::InitPage()
{
    for (const LampPageControl& control : layout)
        (void)SetControlPos(control.id, control.x, control.y, control.cx, control.cy);

    RegisterItem(new CRadioButtonItem(0, 0, IDC_LAMP_BRIGHTNESS_LEVEL_1, 3, 1, nullptr));
    auto* list = new CInheritListBox(0, 0, IDC_LAMP_BRIGHTNESS_APP_LIST, 0, nullptr);
    RegisterItem(list);
    FillApplicationList(*list);
    return 0;
}

LRESULT CLampBrightnessCtrlClass::PageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return LampPageProc(msg, wParam, lParam);
}

bool CLampBrightnessCtrlClass::IsPageSupported()
{
    return QueryCapability(lampBrightnessCapability);
}
