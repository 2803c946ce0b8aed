// What the two pages set up in InitPage, without a host.
#include <gtest/gtest.h>
#include "detect/InheritListBox.h"
#include "LampBrightnessPage.h"
#include "LogoLEDModeOption.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"
#include "support/RegistryFixtures.h"

namespace {

using Layout = std::vector<std::vector<UINT>>;

Layout Positions(const PluginClass& page)
{
    Layout layout;
    const CArray<PluginClass::ControlPos>& positions = page.GetControlPositions();
    for (INT_PTR i = 0; i < positions.GetSize(); ++i) {
        const PluginClass::ControlPos& p = positions[i];
        layout.push_back({p.id, p.x, p.y, p.cx, p.cy});
    }
    return layout;
}

void ExpectItems(PluginClass& page, int firstRadio, int listId, const std::vector<std::wstring>& names)
{
    ASSERT_EQ(2, page.GetItemCount());
    SettingItem* radio = page.GetItemAt(0);
    EXPECT_FALSE(radio->IsListBox());
    EXPECT_EQ(firstRadio, radio->GetFirstControlId());
    EXPECT_EQ(3, radio->GetControlCount());
    EXPECT_EQ(1u, radio->GetKind());
    EXPECT_EQ(0, radio->GetTag1());
    EXPECT_EQ(0, radio->GetTag2());

    auto* list = dynamic_cast<CInheritListBox*>(page.GetItemAt(1));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(listId, list->GetFirstControlId());
    EXPECT_EQ(0u, list->GetKind());
    EXPECT_EQ(nullptr, list->GetOption());
    ASSERT_EQ(static_cast<INT_PTR>(names.size()), list->GetStrings().GetSize());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_STREQ(names[i].c_str(), list->GetStrings()[static_cast<INT_PTR>(i)]);
}

}  // namespace

TEST(LampPages, BrightnessPagePlacesItsControlsAndListsTheApplications)
{
    ScopedRegistryKey marlow(L"Software\\Kelvor Corporation\\Marlow Digital");
    CLampBrightnessCtrlClass page(lampBrightnessPageIdentity);
    EXPECT_EQ(5u, page.GetCategory());
    EXPECT_EQ(0, page.InitPage());
    EXPECT_EQ((Layout{{1013, 0, 0, 480, 20},
                      {1019, 0, 21, 480, 1},
                      {1005, 12, 25, 480, 20},
                      {1006, 12, 50, 480, 20},
                      {1007, 12, 75, 480, 20},
                      {1014, 0, 100, 480, 80},
                      {1015, 0, 185, 480, 20},
                      {1020, 0, 206, 480, 1},
                      {102, 0, 210, 480, 60},
                      {1008, 0, 265, 480, 70}}),
              Positions(page));
    ExpectItems(page, 1005, 1008, {L"Marlow Digital"});
    EXPECT_EQ(nullptr, page.GetItemAt(0)->GetOption());
}

TEST(LampPages, LogoLampPagePlacesItsControlsAndListsTheApplications)
{
    ScopedRegistryKey ardent(L"Software\\Kelvor Corporation\\Ardent Media plus");
    ScopedRegistryKey marlow(L"Software\\Kelvor Corporation\\Marlow Digital");
    CLogoLampCtrlClass page(logoLampPageIdentity);
    EXPECT_EQ(5u, page.GetCategory());
    EXPECT_EQ(0, page.InitPage());
    EXPECT_EQ((Layout{{1009, 0, 0, 480, 20},
                      {1017, 0, 21, 480, 1},
                      {1001, 12, 25, 480, 20},
                      {1002, 12, 50, 480, 20},
                      {1003, 12, 75, 480, 20},
                      {1010, 0, 100, 480, 80},
                      {1011, 0, 185, 480, 20},
                      {1018, 0, 206, 480, 1},
                      {1012, 0, 210, 480, 60},
                      {1004, 0, 265, 480, 70}}),
              Positions(page));
    ExpectItems(page, 1001, 1004, {L"Marlow Digital", L"Ardent Media plus"});
    // Only the logo-lamp radio group carries an option: the LED mode.
    EXPECT_NE(nullptr, dynamic_cast<CLogoLEDModeOption*>(page.GetItemAt(0)->GetOption()));
}

TEST(LampPages, WithoutApplicationsThePageStillInitialises)
{
    CLogoLampCtrlClass page(logoLampPageIdentity);
    EXPECT_EQ(0, page.InitPage());
    ExpectItems(page, 1001, 1004, {});
}
