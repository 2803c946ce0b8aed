#include "LogoLampPage.h"
#include <memory>
#include "LampPage.h"
#include "LogoLEDModeOption.h"
#include "PageIdentity.h"
#include "detect/InheritListBox.h"
#include "device/UtilityLibrary.h"
#include "peryl/resource.h"

namespace {

const LampPageControl layout[] = {
    {IDC_LOGO_LAMP_HEADING, 0, 0, 480, 20},
    {IDC_LOGO_LAMP_TOP_RULE, 0, 21, 480, 1},
    {IDC_LOGO_LAMP_MODE_1, 12, 25, 480, 20},
    {IDC_LOGO_LAMP_MODE_2, 12, 50, 480, 20},
    {IDC_LOGO_LAMP_MODE_3, 12, 75, 480, 20},
    {IDC_LOGO_LAMP_EXPLANATION, 0, 100, 480, 80},
    {IDC_LOGO_LAMP_APPS_LABEL, 0, 185, 480, 20},
    {IDC_LOGO_LAMP_APPS_RULE, 0, 206, 480, 1},
    {IDC_LOGO_LAMP_APPS_NOTE, 0, 210, 480, 60},
    {IDC_LOGO_LAMP_APP_LIST, 0, 265, 480, 70},
};

} // namespace

CLogoLampCtrlClass::CLogoLampCtrlClass(const CString& identity)
    : PluginClass(IDS_LOGO_LAMP_TITLE, IDS_LOGO_LAMP_DESCRIPTION, IDD_LOGO_LAMP_PAGE, identity)
{
    SetCategory(lampPageCategory);
}

LONG CLogoLampCtrlClass::InitPage()
{
    for (const LampPageControl& control : layout)
        (void)SetControlPos(control.id, control.x, control.y, control.cx, control.cy);

    // The option exists before its radio item, which owns it from then on.
    auto option = std::make_unique<CLogoLEDModeOption>();
    auto* radio = new CRadioButtonItem(0, 0, IDC_LOGO_LAMP_MODE_1, 3, 1, option.get());
    option.release();
    RegisterItem(radio);
    auto* list = new CInheritListBox(0, 0, IDC_LOGO_LAMP_APP_LIST, 0, nullptr);
    RegisterItem(list);
    FillApplicationList(*list);
    return 0;
}

LRESULT CLogoLampCtrlClass::PageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return LampPageProc(msg, wParam, lParam);
}

bool CLogoLampCtrlClass::IsPageSupported()
{
    return QueryCapability(logoLampCapability);
}
