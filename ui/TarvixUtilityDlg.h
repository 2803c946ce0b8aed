#pragma once
// The program's main window: per special button a function list, the program
// or key label with its icon and a settings button; a preset list that sets
// both buttons at once; a check box kept in the settings; OK, Cancel, Apply.
#include <windows.h>
#include <memory>
#include "Controls.h"
#include "Dialog.h"
#include "DialogScale.h"
#include "Handles.h"
#include "Presets.h"
#include "ButtonController.h"
#include "MouseButtonDevice.h"
#include "SettingsConnection.h"

class CTarvixUtilityDlg : public CDialog
{
public:
    static constexpr int MaxButtons = 2;

    // Reads the screen's resolution; makes no window and does not talk to the device.
    CTarvixUtilityDlg();
    // With a given resolution instead of the screen's.
    explicit CTarvixUtilityDlg(const DialogScale& scale);
    ~CTarvixUtilityDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Connects to the device and creates and loads one controller per button
    // (the first two); in a silent run applies each button's default and
    // records in the settings that a preset is in use. False when the device
    // is missing, reports no buttons, or a controller fails to load.
    virtual BOOL InitializeButtons(INT32 presetNumber, bool silent);

    // Writes the pending changes: the assignments to the device, the four
    // values to the settings service. Nothing when there are none.
    void ApplyChanges();
    // Enables or disables Apply; the focus leaves Apply before it is disabled.
    void SetModified(bool enable);
    // Selects the item of button `index` that matches its assignment and
    // brings that button's label, settings button and record in line.
    BOOL SyncFunctionSelection(UINT index);
    // Shows the chosen function's text and program icon for button `index`.
    void UpdateAssignmentLabel(int index, const _SPECIAL_BUTTON_INFO& entry);
    // Whether both buttons offer the preset's functions.
    BOOL IsPresetAvailable(const PresetEntry& preset) const;

    const DialogScale& Scale() const { return scale_; }

    HICON appIcon = nullptr;  // shared resource icon, not destroyed
    unique_hicon buttonIcon[MaxButtons];

    CStatic presetCaption;
    CComboBox presetList;
    CStatic topRule;
    CButton panel[MaxButtons];  // group boxes: they leave their inside to the dialog's own painting
    CStatic picture;
    CStatic assignmentLabel[MaxButtons];
    CComboBox functionList[MaxButtons];
    CButton settingsButton[MaxButtons];
    CStatic bottomRule;
    CButton optionCheck;
    CButton okButton;
    CButton cancelButton;
    CButton applyButton;

    INT32 buttonCount = 0;
    bool modified = false;
    INT32 presetActive = 0;
    UINT32 customFunctionId[MaxButtons] = {0, 0};
    INT32 presetCount = 0;
    INT32 functionSelection[MaxButtons] = {0, 0};
    INT32 presetSelection = 0;
    std::unique_ptr<CSpecialButton> buttons[MaxButtons];
    // Shared by the controllers, which only borrow it; released after them.
    com_ptr<ISpecialButtonDevice> device;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    void DoDataExchange(CDataExchange* dx) override;

    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, CWnd* control, UINT kind);
    void OnFunctionChanged(UINT id);
    void OnPresetChanged();
    void OnFunctionSettings(UINT id);
    void OnOkButton();
    void OnCancelButton();
    void OnApply();
    void OnOptionClicked();
    // A shutdown request handed over from the observer's thread: an open
    // sub-dialog ends as cancelled, then the dialog applies and closes.
    LRESULT OnShutdownRequest(WPARAM kind, LPARAM);

private:
    static const MessageMapEntry messageEntries[];

    void LayOutControls(const WINDOWPLACEMENT& placement);
    void ReadSettings();
    void FillFunctionList(int index);
    void FillPresetList();
    CSpecialButtonData* DataOf(int index) const;
    const SpecialButtonFunctions* FunctionsOf(int index) const;
    _SPECIAL_BUTTON_INFO* SelectedEntry(int index);
    // Runs the settings button's dialog modally; a shutdown request meanwhile cancels it.
    INT_PTR RunSubDialog(CDialog& subDialog);

    CDialog* subDialog_ = nullptr;  // the one RunSubDialog runs, while it runs
    bool shutdownDue_ = false;      // a shutdown request waits for the sub-dialog's loop to return

    // The settings values (indices 1 to 4) that ApplyChanges writes: those the
    // dialog read and those the user changed since. One the service has never
    // stored counts as read with the dialog's default; one that a failing
    // service could not answer stays as the service keeps it instead of being
    // overwritten with a default.
    bool settingKnown_[4] = {false, false, false, false};
    void NoteSettingKnown(LONG index) { settingKnown_[index - 1] = true; }
    void NoteSettingRead(LONG index, SettingRead read)
    {
        if (read != SettingRead::Failed)
            NoteSettingKnown(index);
    }

    DialogScale scale_;
    unique_gdi<HBITMAP> mousePicture_;
    unique_gdi<HBRUSH> whiteBrush_;
};
