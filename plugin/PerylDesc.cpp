#include "PerylDesc.h"
#include "LampBrightnessPage.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"

void CPerylDesc::AddPluginClasses()
{
    AddClass(new CLogoLampCtrlClass(logoLampPageIdentity));
    AddClass(new CLampBrightnessCtrlClass(lampBrightnessPageIdentity));
}
