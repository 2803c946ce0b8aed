#pragma once
// The assignment of both special buttons as the user edits it, without a
// window: the device and one controller per button, the four settings values
// and whether each may be written, the rules of presets and own mode, and what
// each list shows. The main dialog hands control events down as commands by
// index and value and shows the views that come back; nothing reaches the
// device or the settings before Apply.
#include <windows.h>
#include <memory>
#include <vector>
#include "ButtonController.h"
#include "ButtonView.h"
#include "Handles.h"
#include "MouseButtonDevice.h"
#include "Presets.h"
#include "SettingsAccess.h"

class CAssignments
{
public:
    static constexpr int MaxButtons = 2;

    // `settings` is borrowed and must outlive this object.
    explicit CAssignments(ISettingsAccess& settings) : settings_(settings) {}
    ~CAssignments();
    CAssignments(const CAssignments&) = delete;
    CAssignments& operator=(const CAssignments&) = delete;

    // Creates the device, lists its buttons and creates and loads a controller
    // for each of the first two; a silent run then applies each button's
    // default and records that a preset is in use. False when the device is
    // missing, reports no buttons, or a controller fails to load.
    bool Initialize(bool silent);

    // Reload, then the mode and both own choices (indices 1 to 3); then the
    // start: the presets both buttons offer, the mode (a preset only when the
    // stored mode said so and the buttons' functions are its pair) and the item
    // each list shows. Once, before the dialog shows anything.
    void Start();
    // The check box (index 4); `shown` is its state before. True when the
    // service answered a value, which Option() then holds.
    bool LoadOption(bool shown);

    // The commands; each answers whether it changed anything, and a command for
    // a button that is not there, an item that is not listed or the item
    // already shown changes nothing.
    // Preset list item `item`; the own-settings entry gives each button its own function.
    bool ChoosePreset(int item);
    // Function list item `item` of `button`, as the button's own choice.
    bool ChooseFunction(int button, int item);
    // What the application chooser or the key-combination dialog gave back for
    // the function `button` shows.
    bool SetProgram(int button, const ApplicationLaunch& program);
    bool SetKeyCombination(int button, UINT32 keyCombination);
    void SetOption(bool checked);

    // The assignments to the device, then the settings values it may write,
    // committed. False when the device refused a button's assignment: that
    // change is still to be applied.
    bool Apply();

    // What the dialog shows.
    ButtonView View(int button) const;
    PresetListView Presets() const;
    SettingsAction Settings(int button) const;
    // What the sub-dialogs of `button` start from.
    ApplicationLaunch Program(int button) const;
    UINT32 KeyCombination(int button) const;
    // A copy of the button's record; an empty one for a button that is not there.
    CSpecialButtonData Record(int button) const;

    bool IsPresetAvailable(const PresetEntry& preset) const;
    int ButtonCount() const { return buttonCount; }
    bool PresetActive() const { return presetActive != 0; }
    UINT32 CustomFunctionId(int button) const { return customFunctionId[button]; }
    bool Option() const { return option_; }

private:
    void NoteKnown(LONG index) { settingKnown_[index - 1] = true; }
    void NoteRead(LONG index, SettingRead read);
    void ReadSettings();
    void SettleStartMode();
    // The list shows the entry that holds the assignment, whose program and
    // keys the record takes; without one, the first item merely stands in.
    void SelectAssigned(int button);
    int AssignedEntry(int button) const;
    bool Offers(int button, UINT32 functionId) const;
    // The function own mode gives `button`: one its list offers.
    UINT32 OwnFunction(int button) const;
    // The entry the list of `button` shows; null when there is none.
    _SPECIAL_BUTTON_INFO* Shown(int button);
    const _SPECIAL_BUTTON_INFO* Shown(int button) const;
    CSpecialButtonData* Data(int button);
    const CSpecialButtonData* Data(int button) const;
    const SpecialButtonFunctions* Functions(int button) const;

    ISettingsAccess& settings_;
    INT32 buttonCount = 0;
    INT32 presetActive = 0;
    UINT32 customFunctionId[MaxButtons] = {0, 0};
    // Each button's function when the set-up ended, for an own mode without a choice of its own.
    UINT32 openedFunction_[MaxButtons] = {0, 0};
    // The item each function list shows, and the listed presets (indices into
    // presetTable) with the one the preset list shows.
    INT32 functionSelection[MaxButtons] = {0, 0};
    std::vector<int> listedPresets_;
    INT32 presetSelection = -1;
    bool option_ = false;
    // The values Apply writes: those read and those the user changed since.
    // One the service has never stored counts as read with the default; one
    // that a failing service could not answer stays as the service keeps it.
    bool settingKnown_[SettingsIndex::Count] = {false, false, false, false};
    std::unique_ptr<CSpecialButton> buttons[MaxButtons];
    // Shared by the controllers, which only borrow it; released after them.
    com_ptr<ISpecialButtonDevice> device;
};
