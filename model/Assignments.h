#pragma once
// The assignment of both special buttons as the user edits it, without a
// window: the device and one controller per button, the four settings values
// and whether each may be written, and the rules of presets and own mode.
// The main dialog turns control events into these calls and shows the result;
// nothing reaches the device or the settings before Apply.
#include <windows.h>
#include <memory>
#include <vector>
#include "ButtonController.h"
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

    // Reload, then the mode and both own choices (indices 1 to 3).
    void LoadSettings();
    // The check box (index 4); `shown` is its state before. True when the
    // service answered a value, which Option() then holds.
    bool LoadOption(bool shown);

    // The presets both buttons offer, the own-settings entry last, and sets the
    // start mode: a preset only when the stored mode said so and the buttons'
    // functions are its pair. `selection` gets the index of the entry to show.
    std::vector<const PresetEntry*> ListPresets(int& selection);
    // A preset governs both buttons; null returns to own mode with each
    // button's own function (see OwnFunction). The function lists follow with SyncEntry.
    void ChoosePreset(const PresetEntry* preset);
    // An own choice of function for `button`.
    void ChooseFunction(int button, const _SPECIAL_BUTTON_INFO& entry);
    // The application chooser wrote a program into the button's record: its entry shows it.
    void TakeProgram(int button, _SPECIAL_BUTTON_INFO& entry);
    // The key-combination dialog wrote keys into the button's record: its entry shows them.
    void TakeKeys(int button, _SPECIAL_BUTTON_INFO& entry);
    void SetOption(bool checked);

    // The entry of `button` that shows its assignment: a plain entry at once,
    // else the last of the button's own entries; -1 when none matches.
    int AssignedEntry(int button) const;
    // The button's record takes the program and keys of the entry that shows it.
    void SyncEntry(int button, const _SPECIAL_BUTTON_INFO& entry);

    // The assignments to the device, then the settings values it may write,
    // committed. False when the device refused a button's assignment: that
    // change is still to be applied.
    bool Apply();

    bool IsPresetAvailable(const PresetEntry& preset) const;
    int ButtonCount() const { return buttonCount; }
    bool PresetActive() const { return presetActive != 0; }
    UINT32 CustomFunctionId(int button) const { return customFunctionId[button]; }
    bool Option() const { return option_; }
    // Null for a button that is not there.
    CSpecialButton* Button(int button) const;
    CSpecialButtonData* Data(int button) const;
    SpecialButtonFunctions* Functions(int button) const;

private:
    void NoteKnown(LONG index) { settingKnown_[index - 1] = true; }
    bool Offers(int button, UINT32 functionId) const;
    // The function own mode gives `button`: one its list offers.
    UINT32 OwnFunction(int button) const;
    void NoteRead(LONG index, SettingRead read);

    ISettingsAccess& settings_;
    INT32 buttonCount = 0;
    INT32 presetActive = 0;
    UINT32 customFunctionId[MaxButtons] = {0, 0};
    // Each button's function when the set-up ended, for an own mode without a choice of its own.
    UINT32 openedFunction_[MaxButtons] = {0, 0};
    bool option_ = false;
    // The values Apply writes: those read and those the user changed since.
    // One the service has never stored counts as read with the default; one
    // that a failing service could not answer stays as the service keeps it.
    bool settingKnown_[SettingsIndex::Count] = {false, false, false, false};
    std::unique_ptr<CSpecialButton> buttons[MaxButtons];
    // Shared by the controllers, which only borrow it; released after them.
    com_ptr<ISpecialButtonDevice> device;
};
