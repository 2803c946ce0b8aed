// The assignments and the key names given thousands of generated device
// answers and stored settings: odd and duplicate ids, empty, null and very long
// names and paths, every type and key byte, failing calls, values of every
// VARIANT type. Seeded, so that a failure can be run again
// (TARVIX_SWEEP_SEED=<seed> picks another sequence).
#include <gtest/gtest.h>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "Assignments.h"
#include "ComException.h"
#include "ComTestSupport.h"
#include "FakeButtonDevice.h"
#include "FakeSettingsAccess.h"
#include "FakeSettingsService.h"
#include "FunctionIds.h"
#include "KeyNames.h"

namespace {

constexpr int caseCount = 3000;
constexpr unsigned defaultSeed = 20261209;

class Generator
{
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int Below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }
    bool OneIn(int n) { return Below(n) == 0; }
    UINT32 Any() { return std::uniform_int_distribution<UINT32>()(random_); }

    ULONG FunctionId()
    {
        static const ULONG ids[] = {0,   1,   50,         51,         56,         57,        58,  59,  60,
                                    61,  62,  63,         64,         66,         99,        100, 101, 102,
                                    103, 150, 199,        200,        201,        202,       203, 250, 299,
                                    300, 301, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
        return OneIn(8) ? Any() : ids[Below(static_cast<int>(std::size(ids)))];
    }

    std::wstring Text()
    {
        switch (Below(9)) {
        case 0:
            return L"";  // answered as a null string
        case 1:
            return std::wstring(static_cast<size_t>(1 + Below(40000)), static_cast<wchar_t>(L'a' + Below(26)));
        case 2:
            return L"%s%n%1!s!%%";
        case 3:
            return std::wstring(L"\xD800 \xDFFF \x202E\xFEFF\x0007");
        case 4:
            return L"C:\\windows\\notepad.exe";  // exists
        case 5:
            return L"C:\\windows";  // a folder
        case 6:
            return L"C:\\no such folder\\gone.exe";
        case 7:
            return L"relative\\..\\tool.exe";
        default:
            return L"Function " + std::to_wstring(Below(1000));
        }
    }

    ULONG Keys()
    {
        if (OneIn(4))
            return Any();
        return KeyCombination::Pack(static_cast<UINT>(Below(256)), static_cast<UINT>(Below(256)),
                                    static_cast<UINT>(Below(9)), static_cast<UINT>(Below(256)));
    }

private:
    std::mt19937 random_;
};

const char* const deviceMethods[] = {
    "Prepare",         "NextButton",          "GetButtonInfo",          "BeginRead",
    "NextFunction",    "GetAssignedFunction", "GetApplicationFunction", "SetAssignedFunction",
    "GetFunctionName", "GetFunctionType",     "SetApplication",         "GetActionTarget",
    "GetApplication",  "GetKeyCombination",   "SetKeyCombination"};
const char* const settingsMethods[] = {"GetValue", "SetValue", "Reload", "Commit"};

// `unreadable` marks the indices stored as something that is no integer.
void Generate(Generator& g, FakeButtonDevice& device, FakeSettingsService& settings, bool& reachable,
              bool (&unreadable)[SettingsIndex::Count])
{
    device.buttons = {1, 2};
    switch (g.Below(12)) {
    case 0:
        device.buttons = {};
        break;
    case 1:
        device.buttons = {1};
        break;
    case 2:
        device.buttons = {1, 1};
        break;
    case 3:
        device.buttons = {0, -1, 7};
        break;
    case 4:
        device.buttons = {2, 1, 3};
        break;
    default:
        break;
    }
    const int functions = g.Below(14);
    for (int i = 0; i < functions; ++i) {
        static const LONG types[] = {0, 1, 2, -1, 0x7FFFFFFF};
        FakeFunction& function = device.Add(g.FunctionId(), L"", types[g.Below(5)]);
        function.name = g.OneIn(6) ? L"" : g.Text();
        if (g.OneIn(2))
            function.path = g.Text();
        if (g.OneIn(3))
            function.arguments = g.Text();
        if (g.OneIn(3))
            function.folder = g.Text();
        if (g.OneIn(5))
            function.actionTarget = g.Text();
        function.keyCombination = g.Keys();
    }
    device.endId = g.OneIn(3) ? FunctionIds::ListingMarker : g.FunctionId();
    for (LONG button : device.buttons)
        if (!g.OneIn(10))
            device.assigned[button] = g.FunctionId();
    for (const char* method : deviceMethods)
        if (g.OneIn(25))
            device.failing.insert(method);

    reachable = !g.OneIn(6);
    for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index) {
        VARIANT value;
        VariantInit(&value);
        unreadable[index - 1] = false;
        switch (g.Below(10)) {
        case 0:
            continue;  // never stored
        case 1:
            V_VT(&value) = VT_BSTR;
            V_BSTR(&value) = SysAllocString(L"58");
            break;
        case 2:
            V_VT(&value) = VT_R8;
            V_R8(&value) = 58.25;
            break;
        case 3:
            V_VT(&value) = VT_I2;
            V_I2(&value) = static_cast<SHORT>(g.Below(3));
            break;
        case 4:
            V_VT(&value) = VT_EMPTY;
            break;
        case 5:
            V_VT(&value) = VT_BSTR;
            V_BSTR(&value) = SysAllocString(L"fifty-eight");
            unreadable[index - 1] = true;
            break;
        case 6:
            V_VT(&value) = VT_ERROR;
            V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
            unreadable[index - 1] = true;
            break;
        default:
            V_VT(&value) = VT_INT;
            V_INT(&value) = static_cast<INT>(g.OneIn(2) ? g.FunctionId() : static_cast<ULONG>(g.Below(3)));
            break;
        }
        settings.Put(TarvixSettingsSection, index, value);
        VariantClear(&value);
    }
    for (const char* method : settingsMethods)
        if (g.OneIn(8))
            settings.failing.insert(method);
}

// The stored value of `index` as text, "-" when there is none.
std::string StoredText(const FakeSettingsService& settings, LONG index)
{
    if (!settings.Has(TarvixSettingsSection, index))
        return "-";
    VARIANT value = settings.Stored(TarvixSettingsSection, index);
    const std::string text = DescribeVariant(value);
    VariantClear(&value);
    return text;
}

std::string Describe(const FakeButtonDevice& device, const FakeSettingsService& settings, bool reachable)
{
    std::ostringstream text;
    text << "buttons";
    for (LONG button : device.buttons)
        text << " " << button;
    text << "; functions";
    for (const FakeFunction& function : device.functions)
        text << " " << function.id << "/t" << function.type << "/name" << function.name.size() << "/path"
             << Narrow(function.path.substr(0, 40)) << "/keys" << std::hex << function.keyCombination << std::dec;
    text << "; end " << device.endId << "; assigned";
    for (const auto& assigned : device.assigned)
        text << " " << assigned.first << "=" << assigned.second;
    text << "; device fails";
    for (const std::string& method : device.failing)
        text << " " << method;
    text << "; settings " << (reachable ? "reachable" : "missing");
    for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index)
        text << " " << index << "=" << StoredText(settings, index);
    text << "; settings fail";
    for (const std::string& method : settings.failing)
        text << " " << method;
    return text.str();
}


// What the device listed for a button, and the placeholder the listing marker
// stands for, and what the button held: the functions it may be given.
std::set<ULONG> Offered(const FakeButtonDevice& device, LONG button)
{
    std::set<ULONG> offered;
    for (const FakeFunction& function : device.functions)
        offered.insert(function.id);
    if (offered.count(FunctionIds::ListingMarker) != 0 || device.endId == FunctionIds::ListingMarker)
        offered.insert(FunctionIds::OwnLaunch(button));
    return offered;
}

// One run of the dialog's use of the assignments, with commands chosen by `g`;
// false with `failure` set when a rule broke.
bool RunCase(Generator& g, FakeButtonDevice& device, FakeSettingsService& settings, bool reachable,
             const bool (&unreadable)[SettingsIndex::Count], std::string& failure)
{
    FakeSettingsAccess access(settings);
    access.reachable = reachable;
    std::map<LONG, ULONG> heldAtStart = device.assigned;
    std::string before[SettingsIndex::Count];
    for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index)
        before[index - 1] = StoredText(settings, index);
    bool touched[SettingsIndex::Count] = {false, false, false, false};

    CAssignments model(access.access);
    if (!model.Initialize(false))
        return true;  // the program ends with its error message; nothing was sent
    const size_t setUpCalls = device.calls.size();
    model.Start();
    const PresetListView presets = model.Presets();
    if (presets.selected < 0 || presets.selected >= static_cast<int>(presets.names.size()) ||
        presets.names.back() != presetTable[ownSettingsPreset].nameId) {
        failure = "the preset selection " + std::to_string(presets.selected) + " is not a listed entry";
        return false;
    }
    (void)model.LoadOption(g.OneIn(2));

    const int commands = g.Below(6);
    for (int c = 0; c < commands; ++c) {
        const int button = g.Below(CAssignments::MaxButtons);
        switch (g.Below(4)) {
        case 0:
            if (model.ChoosePreset(g.Below(static_cast<int>(presets.names.size()) + 1) - 1 + (g.OneIn(9) ? 50 : 0)))
                touched[SettingsIndex::PresetActive - 1] = true;
            break;
        case 1: {
            const int items = static_cast<int>(model.View(button).items.size());
            if (model.ChooseFunction(button, g.Below(items + 2) - 1))
                touched[SettingsIndex::CustomFunction0 + button - 1] = true;
            break;
        }
        case 2:
            if (g.OneIn(2))
                (void)model.SetKeyCombination(button, g.Keys());
            else
                (void)model.SetProgram(button, {g.Text().c_str(), g.Text().c_str(), g.Text().c_str()});
            break;
        default:
            model.SetOption(g.OneIn(2));
            touched[SettingsIndex::Option - 1] = true;
            break;
        }
        for (int b = 0; b < CAssignments::MaxButtons; ++b) {
            const ButtonView view = model.View(b);
            if (KeyCombinationText(model.KeyCombination(b)).IsEmpty()) {
                failure = "no text for the keys of a button";
                return false;
            }
            if (!view.items.empty() && (view.selected < 0 || view.selected >= static_cast<int>(view.items.size()))) {
                failure = "button " + std::to_string(b) + " shows item " + std::to_string(view.selected) + " of " +
                          std::to_string(view.items.size());
                return false;
            }
        }
    }
    (void)model.Apply();

    // Every function given to a button was one the device offered it or held.
    for (size_t i = setUpCalls; i < device.calls.size(); ++i) {
        LONG button = 0;
        unsigned long function = 0;
        if (sscanf(device.calls[i].c_str(), "SetAssignedFunction(%ld,%lu)", &button, &function) != 2)
            continue;
        const std::set<ULONG> offered = Offered(device, button);
        const auto held = heldAtStart.find(button);
        if (offered.count(function) == 0 && (held == heldAtStart.end() || held->second != function)) {
            failure = device.calls[i] + ": a function the device did not offer";
            return false;
        }
    }
    // A value that could not be read, and that no command changed, is still stored as it was.
    const bool readsFailed = !reachable || settings.failing.count("GetValue") != 0;
    for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index) {
        const bool kept = before[index - 1] == StoredText(settings, index);
        if ((readsFailed || unreadable[index - 1]) && !touched[index - 1] && !kept) {
            failure = "index " + std::to_string(index) + " was overwritten after a failed read";
            return false;
        }
    }
    return true;
}

}  // namespace

TEST(TarvixGeneratedInput, DeviceAnswersAndStoredSettingsKeepTheRules)
{
    const char* seedText = std::getenv("TARVIX_SWEEP_SEED");
    const unsigned seed = seedText != nullptr ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                              : defaultSeed;
    Generator g(seed);
    ComApartment apartment;
    FillKeyNameList();

    int failures = 0;
    int tried = 0;
    for (; tried < caseCount && failures < 5; ++tried) {
        const int n = tried;
        auto* device = new FakeButtonDevice();
        FakeSettingsService settings;
        bool reachable = false;
        bool unreadable[SettingsIndex::Count] = {false, false, false, false};
        Generate(g, *device, settings, reachable, unreadable);
        const std::string described = Describe(*device, settings, reachable);
        std::string failure;
        {
            FakeClassFactory factory{device};
            ClassRegistration registration{CLSID_SpecialButtonDevice, &factory, CLSCTX_INPROC_SERVER};
            try {
                if (!RunCase(g, *device, settings, reachable, unreadable, failure))
                    ++failures;
            } catch (const CComException& error) {
                failure = "a COM error came out: " + std::to_string(error.Error());
                ++failures;
            } catch (const std::exception& error) {
                failure = std::string("an exception came out: ") + error.what();
                ++failures;
            }
        }
        if (!failure.empty())
            ADD_FAILURE() << "case " << n << " of seed " << seed << ": " << failure << "\n  " << described;
        device->Release();
    }

    // Key names of every category and code, and texts of generated packed values.
    int names = 0;
    for (UINT category = 0; category <= 8; ++category)
        for (UINT code = 0; code <= 0xFF; ++code, ++names) {
            const CString name = KeyName(category, code);
            EXPECT_FALSE(name.IsEmpty()) << "category " << category << ", code " << code;
            (void)KeyCode(category, name);
        }
    for (int n = 0; n < caseCount; ++n, ++names)
        EXPECT_FALSE(KeyCombinationText(g.Keys()).IsEmpty());

    std::printf("[ sweep    ] seed %u: %d device and settings cases, %d key names and texts\n", seed, tried, names);
}
