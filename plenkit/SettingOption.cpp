#include "Plenkit.h"

// The base option accepts everything and does nothing with it.
SettingOption::SettingOption() = default;
SettingOption::~SettingOption() = default;

LONG SettingOption::OnSettingChange(const VARIANT&)
{
    return 0;
}
LONG SettingOption::OnSetStart(const VARIANT&)
{
    return 0;
}
LONG SettingOption::ApplyValue(const VARIANT&)
{
    return 0;
}
LONG SettingOption::OptionHookA(LONG_PTR)
{
    return 0;
}
LONG SettingOption::OptionHookB(LONG_PTR)
{
    return 0;
}
