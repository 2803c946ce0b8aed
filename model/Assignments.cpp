#include "Assignments.h"
#include "FunctionIds.h"
#include "KeyNames.h"
#include "StartupPhases.h"

namespace {

// The fields of a button's record that follow the function shown for it.
void CopyEntryIntoData(const _SPECIAL_BUTTON_INFO& entry, CSpecialButtonData& data)
{
    data.applicationPath = entry.applicationPath;
    data.applicationArguments = entry.applicationArguments;
    data.applicationFolder = entry.applicationFolder;
    data.functionName = entry.name;
    data.keyCombination = entry.keyCombination;
}

}  // namespace

CAssignments::~CAssignments()
{
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        button.reset();
    device.reset();
}

bool CAssignments::Initialize(bool silent)
{
    // A repeated set-up starts afresh rather than mixing two devices' buttons.
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        button.reset();
    buttonCount = 0;
    for (UINT32& opened : openedFunction_)
        opened = 0;

    if (FAILED(CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpecialButtonDevice,
                                device.put_void())))
        return false;
    MarkPhase(StartupPhase::device);
    if (device->Prepare(2) != S_OK)
        return false;

    std::vector<LONG> buttonIds;
    LONG buttonId = 0;
    while (device->NextButton(&buttonId) == S_OK) {
        ULONG info = 0;
        (void)device->GetButtonInfo(buttonId, &info);  // asked once per button; the answer is not needed
        buttonIds.push_back(buttonId);
        ++buttonCount;
        buttonId = 0;
    }
    if (buttonCount == 0)
        return false;

    bool result = true;
    for (size_t i = 0; i < buttonIds.size() && i < MaxButtons; ++i) {
        buttons[i] = std::make_unique<CSpecialButton>(device.get(), buttonIds[i]);
        if (!buttons[i]->Load(0))
            result = false;  // the other buttons are still set up
        if (silent && buttons[i]->SetDefault())
            (void)buttons[i]->Apply();  // nothing to show a refusal to
        openedFunction_[i] = buttons[i]->data.assignedFunctionId;
    }
    MarkPhase(StartupPhase::buttons);

    if (silent && settings_.Connect()) {
        settings_.WriteInt(SettingsIndex::PresetActive, 1);  // the defaults are a preset pair
        settings_.Commit();
    }
    return result;
}

void CAssignments::NoteRead(LONG index, SettingRead read)
{
    if (read != SettingRead::Failed)
        NoteKnown(index);
}

void CAssignments::Start()
{
    ReadSettings();
    SettleStartMode();
}

void CAssignments::ReadSettings()
{
    if (!settings_.Connect())
        return;
    settings_.Reload();
    NoteRead(SettingsIndex::PresetActive, settings_.ReadInt(SettingsIndex::PresetActive, presetActive));
    for (int i = 0; i < MaxButtons; ++i) {
        INT32 function = static_cast<INT32>(customFunctionId[i]);
        const SettingRead read = settings_.ReadInt(SettingsIndex::CustomFunction0 + i, function);
        if (read == SettingRead::Value)
            customFunctionId[i] = static_cast<UINT32>(function);
        NoteRead(SettingsIndex::CustomFunction0 + i, read);
    }
}

void CAssignments::SettleStartMode()
{
    const CSpecialButtonData* data0 = Data(0);
    const CSpecialButtonData* data1 = Data(1);
    const UINT32 f0 = data0 != nullptr ? data0->assignedFunctionId : 0;
    const UINT32 f1 = data1 != nullptr ? data1->assignedFunctionId : 0;

    listedPresets_.clear();
    int matching = -1;
    for (int k = 0; k < presetTableSize; ++k) {
        const PresetEntry& preset = presetTable[k];
        if (k != ownSettingsPreset && !IsPresetAvailable(preset))
            continue;
        listedPresets_.push_back(k);
        // The own-settings entry has no pair of its own to match.
        if (k != ownSettingsPreset && preset.function0 == f0 && preset.function1 == f1)
            matching = static_cast<int>(listedPresets_.size()) - 1;
    }
    // A preset only when the stored mode said so and the functions are its pair.
    if (presetActive != 0 && matching >= 0) {
        presetActive = 1;
        presetSelection = matching;
    } else {
        presetActive = 0;
        presetSelection = static_cast<INT32>(listedPresets_.size()) - 1;
    }
    for (int i = 0; i < MaxButtons; ++i)
        SelectAssigned(i);
}

bool CAssignments::LoadOption(bool shown)
{
    option_ = shown;
    if (!settings_.Connect())
        return false;
    INT32 value = 0;
    const SettingRead read = settings_.ReadInt(SettingsIndex::Option, value);
    NoteRead(SettingsIndex::Option, read);
    if (read != SettingRead::Value)
        return false;
    option_ = value != 0;
    return true;
}

bool CAssignments::IsPresetAvailable(const PresetEntry& preset) const
{
    return ::IsPresetAvailable(preset, Functions(0), Functions(1));
}

bool CAssignments::ChoosePreset(int item)
{
    if (item < 0 || item >= static_cast<int>(listedPresets_.size()) || item == presetSelection)
        return false;
    presetSelection = item;
    const int k = listedPresets_[static_cast<size_t>(item)];
    const PresetEntry* preset = k != ownSettingsPreset ? &presetTable[k] : nullptr;

    NoteKnown(SettingsIndex::PresetActive);
    presetActive = preset != nullptr ? 1 : 0;
    for (int i = 0; i < MaxButtons; ++i) {
        CSpecialButtonData* data = Data(i);
        if (data == nullptr)
            continue;
        if (preset != nullptr) {
            data->assignedFunctionId = i == 0 ? preset->function0 : preset->function1;
        } else {
            // What the own mode shows is the own choice from here on, so the
            // settings record what the list shows.
            customFunctionId[i] = OwnFunction(i);
            data->assignedFunctionId = customFunctionId[i];
        }
        SelectAssigned(i);
    }
    return true;
}

bool CAssignments::ChooseFunction(int button, int item)
{
    CSpecialButtonData* data = Data(button);
    const SpecialButtonFunctions* functions = Functions(button);
    if (data == nullptr || button >= buttonCount || item < 0 || item >= functions->GetSize() ||
        item == functionSelection[button])
        return false;
    const _SPECIAL_BUTTON_INFO& entry = functions->GetAt(item);
    data->assignedFunctionId = entry.functionId;
    customFunctionId[button] = entry.functionId;
    NoteKnown(SettingsIndex::CustomFunction0 + button);
    CopyEntryIntoData(entry, *data);
    functionSelection[button] = item;
    return true;
}

bool CAssignments::SetProgram(int button, const ApplicationLaunch& program)
{
    CSpecialButtonData* data = Data(button);
    _SPECIAL_BUTTON_INFO* entry = Shown(button);
    if (data == nullptr || entry == nullptr)
        return false;
    data->applicationPath = program.path;
    data->applicationArguments = program.arguments;
    data->applicationFolder = program.folder;
    entry->applicationPath = program.path;
    entry->applicationArguments = program.arguments;
    entry->applicationFolder = program.folder;
    entry->displayText = program.path;
    return true;
}

bool CAssignments::SetKeyCombination(int button, UINT32 keyCombination)
{
    CSpecialButtonData* data = Data(button);
    _SPECIAL_BUTTON_INFO* entry = Shown(button);
    if (data == nullptr || entry == nullptr)
        return false;
    data->keyCombination = keyCombination;
    entry->keyCombination = keyCombination;
    entry->displayText = KeyCombinationText(keyCombination);
    return true;
}

void CAssignments::SetOption(bool checked)
{
    option_ = checked;
    NoteKnown(SettingsIndex::Option);
}

void CAssignments::SelectAssigned(int button)
{
    CSpecialButtonData* data = Data(button);
    if (data == nullptr)
        return;
    const int assigned = AssignedEntry(button);
    functionSelection[button] = assigned >= 0 ? assigned : 0;
    // The first item merely stands in for an assignment the list does not
    // offer: its program or keys are not the button's, and Apply would write
    // them over what the device keeps for that assignment.
    if (assigned >= 0)
        CopyEntryIntoData(Functions(button)->GetAt(assigned), *data);
}

int CAssignments::AssignedEntry(int button) const
{
    const CSpecialButtonData* data = Data(button);
    const SpecialButtonFunctions* functions = Functions(button);
    if (data == nullptr || functions == nullptr)
        return -1;
    int custom = -1;
    for (INT_PTR i = 0; i < functions->GetSize(); ++i) {
        const _SPECIAL_BUTTON_INFO& entry = functions->GetAt(i);
        if (entry.functionId != data->assignedFunctionId)
            continue;
        if (entry.isCustomEntry == 0)
            return static_cast<int>(i);
        custom = static_cast<int>(i);
    }
    return custom;
}

bool CAssignments::Offers(int button, UINT32 functionId) const
{
    const SpecialButtonFunctions* functions = Functions(button);
    for (INT_PTR i = 0; functions != nullptr && i < functions->GetSize(); ++i)
        if (functions->GetAt(i).functionId == functionId)
            return true;
    return false;
}

UINT32 CAssignments::OwnFunction(int button) const
{
    // The choice last made or stored, while the button still offers it; else
    // what the button had when the dialog opened; else what its list shows
    // first. Never a function the list cannot show, such as 0 for "none chosen".
    if (Offers(button, customFunctionId[button]))
        return customFunctionId[button];
    if (Offers(button, openedFunction_[button]))
        return openedFunction_[button];
    const SpecialButtonFunctions* functions = Functions(button);
    if (functions != nullptr && functions->GetSize() > 0)
        return functions->GetAt(0).functionId;
    return openedFunction_[button];
}

bool CAssignments::Apply()
{
    bool applied = true;
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        if (button && !button->Apply())
            applied = false;  // the other button still takes its own

    if (!settings_.Connect())
        return applied;
    const INT32 values[SettingsIndex::Count] = {presetActive, static_cast<INT32>(customFunctionId[0]),
                                                static_cast<INT32>(customFunctionId[1]), option_ ? 1 : 0};
    for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index)
        if (settingKnown_[index - 1])
            settings_.WriteInt(index, values[index - 1]);
    settings_.Commit();
    return applied;
}

ButtonView CAssignments::View(int button) const
{
    ButtonView view;
    const SpecialButtonFunctions* functions = Functions(button);
    const _SPECIAL_BUTTON_INFO* shown = Shown(button);
    if (functions == nullptr || shown == nullptr || button >= buttonCount)
        return view;
    for (INT_PTR i = 0; i < functions->GetSize(); ++i)
        view.items.push_back(functions->GetAt(i).name);
    view.selected = functionSelection[button];
    view.label = shown->displayText;
    if (!shown->applicationPath.IsEmpty()) {
        view.program = shown->displayText;
        view.label = ProgramLabelText(shown->displayText);
    }
    view.listEnabled = presetActive == 0;
    view.settingsEnabled = shown->isCustomEntry != 0 || !shown->actionTarget.IsEmpty();
    return view;
}

PresetListView CAssignments::Presets() const
{
    PresetListView view;
    for (int k : listedPresets_)
        view.names.push_back(presetTable[k].nameId);
    view.selected = presetSelection;
    return view;
}

SettingsAction CAssignments::Settings(int button) const
{
    SettingsAction action;
    const _SPECIAL_BUTTON_INFO* shown = Shown(button);
    if (shown == nullptr || button >= buttonCount)
        return action;
    if (!shown->actionTarget.IsEmpty()) {
        action.kind = SettingsAction::Kind::OpenTarget;
        action.target = shown->actionTarget;
        action.folder = shown->applicationFolder;
    } else if (FunctionIds::IsLaunch(shown->functionId)) {
        action.kind = SettingsAction::Kind::Program;
    } else if (shown->functionId > FunctionIds::LaunchLast && FunctionIds::IsKeyCombination(shown->functionId)) {
        action.kind = SettingsAction::Kind::KeyCombination;
    }
    return action;
}

ApplicationLaunch CAssignments::Program(int button) const
{
    ApplicationLaunch program;
    if (const CSpecialButtonData* data = Data(button)) {
        program.path = data->applicationPath;
        program.arguments = data->applicationArguments;
        program.folder = data->applicationFolder;
    }
    return program;
}

UINT32 CAssignments::KeyCombination(int button) const
{
    const CSpecialButtonData* data = Data(button);
    return data != nullptr ? data->keyCombination : 0;
}

CSpecialButtonData CAssignments::Record(int button) const
{
    const CSpecialButtonData* data = Data(button);
    return data != nullptr ? *data : CSpecialButtonData();
}

_SPECIAL_BUTTON_INFO* CAssignments::Shown(int button)
{
    if (button < 0 || button >= MaxButtons || !buttons[button])
        return nullptr;
    SpecialButtonFunctions& functions = buttons[button]->functions;
    if (functionSelection[button] < 0 || functionSelection[button] >= functions.GetSize())
        return nullptr;
    return &functions.ElementAt(functionSelection[button]);
}

const _SPECIAL_BUTTON_INFO* CAssignments::Shown(int button) const
{
    const SpecialButtonFunctions* functions = Functions(button);
    if (functions == nullptr || functionSelection[button] < 0 || functionSelection[button] >= functions->GetSize())
        return nullptr;
    return &functions->GetAt(functionSelection[button]);
}

CSpecialButtonData* CAssignments::Data(int button)
{
    if (button < 0 || button >= MaxButtons || !buttons[button])
        return nullptr;
    return &buttons[button]->data;
}

const CSpecialButtonData* CAssignments::Data(int button) const
{
    if (button < 0 || button >= MaxButtons || !buttons[button])
        return nullptr;
    return &buttons[button]->data;
}

const SpecialButtonFunctions* CAssignments::Functions(int button) const
{
    if (button < 0 || button >= MaxButtons || !buttons[button])
        return nullptr;
    return &buttons[button]->functions;
}

CString ProgramLabelText(const CString& path)
{
    CString name = path.Mid(path.ReverseFind(L'\\') + 1);
    const int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Left(dot) : name;
}
