#pragma once
// The program's main window: per special button a function list, the program
// or key label with its icon and a settings button; a preset list that sets
// both buttons at once; a check box kept in the settings; OK, Cancel, Apply.
#include <windows.h>
#include <memory>
#include "Controls.h"
#include "Dialog.h"
#include "DialogScale.h"
#include "AccessibleName.h"
#include "Handles.h"
#include "Assignments.h"

class CTarvixUtilityDlg : public CDialog
{
public:
    static constexpr int MaxButtons = CAssignments::MaxButtons;

    // Reads the screen's resolution; makes no window and does not talk to the
    // device. The settings go through the process-wide connection.
    CTarvixUtilityDlg();
    // With the given settings and, in the second form, a given resolution
    // instead of the screen's. `settings` must outlive the dialog.
    explicit CTarvixUtilityDlg(ISettingsAccess& settings);
    CTarvixUtilityDlg(ISettingsAccess& settings, const DialogScale& scale);
    ~CTarvixUtilityDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Connects to the device and creates and loads one controller per button
    // (the first two); in a silent run applies each button's default and
    // records in the settings that a preset is in use. False when the device
    // is missing, reports no buttons, or a controller fails to load. A silent
    // run also keeps the application chooser's warning from showing.
    virtual BOOL InitializeButtons(bool silent);

    // Writes the pending changes: the assignments to the device, the four
    // values to the settings service. Nothing when there are none.
    void ApplyChanges();
    // Enables or disables Apply; the focus leaves Apply before it is disabled.
    void SetModified(bool enable);
    // Shows what the assignments answer for button `index`: the list's item,
    // the label, the settings button and whether the list is enabled.
    BOOL SyncFunctionSelection(UINT index);
    // Shows the label text and program icon of button `index`.
    void UpdateAssignmentLabel(int index, const ButtonView& view);
    // Whether both buttons offer the preset's functions. Nothing calls it: the
    // assignments decide which presets are listed; kept as the dialog's own question.
    BOOL IsPresetAvailable(const PresetEntry& preset) const;

    const DialogScale& Scale() const { return scale_; }
    // What the dialog shows: the assignments and the program icons.
    const CAssignments& Assignments() const { return model_; }
    HICON ButtonIcon(int index) const { return buttonIcon[index].get(); }
    bool IsModified() const { return modified; }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    void DoDataExchange(CDataExchange* dx) override;

    void OnPaint();
    // The page behind a control that asks for it, in the control's DC.
    LRESULT OnEraseBackground(WPARAM dc, LPARAM);
    LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
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
    void PaintPage(HDC dc);
    void FillFunctionList(int index);
    void FillPresetList();
    void ShowPresetSelection();
    // Runs the settings button's dialog modally; a shutdown request meanwhile cancels it.
    INT_PTR RunSubDialog(CDialog& subDialog);

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
    // The lists and buttons of both panels look alike: their names say whose they are.
    accessible_name functionListName[MaxButtons];
    accessible_name settingsButtonName[MaxButtons];
    CStatic bottomRule;
    CButton optionCheck;
    CButton okButton;
    CButton cancelButton;
    CButton applyButton;

    bool modified = false;
    CAssignments model_;
    bool silent_ = false;

    CDialog* subDialog_ = nullptr;  // the one RunSubDialog runs, while it runs
    bool shutdownDue_ = false;      // a shutdown request waits for the sub-dialog's loop to return

    DialogScale scale_;
    unique_gdi<HBITMAP> mousePicture_;
    unique_gdi<HBRUSH> whiteBrush_;
};
