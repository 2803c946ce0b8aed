#include "TarvixUtilityDlg.h"
#include "DataExchange.h"
#include "ObserveApp.h"
#include "ProgramIcon.h"
#include "SettingsConnection.h"
#include "WinApp.h"
#include "tarvix/resource.h"

namespace {

DialogScale ScreenScale()
{
    DialogScale scale;
    if (HDC screen = GetDC(nullptr)) {
        scale.dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        scale.dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return scale;
}

// Where each control goes, at 96 DPI. The preset caption keeps the visibility
// its template gives it; the picture is placed on its own.
struct ControlPlace
{
    int id;
    RECT design;
    bool show;
};

const ControlPlace controlLayout[] = {
    {IDC_PRESET_CAPTION, {24, 20, 162, 41}, false},
    {IDC_PRESET_LIST, {162, 20, 415, 41}, true},
    {IDC_TOP_RULE, {24, 61, 555, 63}, true},
    {IDC_BUTTON0_PANEL, {24, 104, 209, 272}, true},
    {IDC_BUTTON1_PANEL, {370, 104, 555, 272}, true},
    {IDC_BUTTON0_LABEL, {36, 142, 300, 163}, true},
    {IDC_BUTTON1_LABEL, {279, 142, 543, 163}, true},
    {IDC_BUTTON0_FUNCTIONS, {31, 200, 202, 221}, true},
    {IDC_BUTTON1_FUNCTIONS, {377, 200, 548, 221}, true},
    {IDC_BUTTON0_SETTINGS, {77, 239, 197, 260}, true},
    {IDC_BUTTON1_SETTINGS, {423, 239, 543, 260}, true},
    {IDC_BOTTOM_RULE, {24, 313, 555, 315}, true},
    {IDC_OPTION_CHECK, {24, 330, 510, 350}, true},
    {IDC_OK, {269, 375, 359, 396}, true},
    {IDC_CANCEL, {367, 375, 457, 396}, true},
    {IDC_APPLY, {465, 375, 555, 396}, true},
};

// The label of each button, with and without a program icon beside it, and
// the area that holds both.
const RECT labelWithIcon[CTarvixUtilityDlg::MaxButtons] = {{32, 152, 157, 173}, {422, 152, 547, 173}};
const RECT labelWithoutIcon[CTarvixUtilityDlg::MaxButtons] = {{32, 152, 197, 173}, {384, 152, 547, 173}};
const RECT labelArea[CTarvixUtilityDlg::MaxButtons] = {{32, 120, 210, 190}, {369, 120, 547, 190}};

RECT Scaled(const DialogScale& scale, const RECT& design)
{
    return scale.Rect(design.left, design.top, design.right, design.bottom);
}

bool OpensSettings(const _SPECIAL_BUTTON_INFO& entry)
{
    return entry.isCustomEntry != 0 || !entry.actionTarget.IsEmpty();
}

// Closes a shown dialog window of the thread that is neither `mainDialog` nor
// one of the framework's, as the Escape key would.
BOOL CALLBACK CancelForeignDialog(HWND window, LPARAM mainDialog)
{
    wchar_t className[16] = L"";
    if (window != reinterpret_cast<HWND>(mainDialog) && IsWindowVisible(window) &&
        CWnd::FromHandlePermanent(window) == nullptr && GetClassNameW(window, className, ARRAYSIZE(className)) &&
        lstrcmpW(className, L"#32770") == 0)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
    return TRUE;
}

} // namespace

const MessageMapEntry CTarvixUtilityDlg::messageEntries[] = {
    MapDefault(WM_SYSCOMMAND),
    MapPaint<&CTarvixUtilityDlg::OnPaint>(),
    MapCtlColor<&CTarvixUtilityDlg::OnCtlColor>(),
    MapCommandRange<&CTarvixUtilityDlg::OnFunctionChanged>(CBN_SELCHANGE, IDC_BUTTON0_FUNCTIONS, IDC_BUTTON1_FUNCTIONS),
    MapCommand<&CTarvixUtilityDlg::OnPresetChanged>(CBN_SELCHANGE, IDC_PRESET_LIST),
    MapCommandRange<&CTarvixUtilityDlg::OnFunctionSettings>(BN_CLICKED, IDC_BUTTON0_SETTINGS, IDC_BUTTON1_SETTINGS),
    MapCommand<&CTarvixUtilityDlg::OnOkButton>(BN_CLICKED, IDC_OK),
    MapCommand<&CTarvixUtilityDlg::OnCancelButton>(BN_CLICKED, IDC_CANCEL),
    MapCommand<&CTarvixUtilityDlg::OnApply>(BN_CLICKED, IDC_APPLY),
    MapDefault(WM_NCPAINT),
    MapCommand<&CTarvixUtilityDlg::OnOptionClicked>(BN_CLICKED, IDC_OPTION_CHECK),
    MapRegisteredMessage<&CTarvixUtilityDlg::OnShutdownRequest>(&CObserveApp::notifyMessage),
};
const MessageMap CTarvixUtilityDlg::messageMap = MakeMessageMap(&CDialog::messageMap, messageEntries);

CTarvixUtilityDlg::CTarvixUtilityDlg() : CTarvixUtilityDlg(ScreenScale()) {}

CTarvixUtilityDlg::CTarvixUtilityDlg(const DialogScale& scale)
    : CDialog(IDD_MAIN_DIALOG), scale_(scale), whiteBrush_(CreateSolidBrush(RGB(255, 255, 255)))
{
    appIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
}

CTarvixUtilityDlg::~CTarvixUtilityDlg()
{
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        button.reset();
    device.reset();
}

void CTarvixUtilityDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PRESET_CAPTION, presetCaption);
    DDX_Control(dx, IDC_PRESET_LIST, presetList);
    DDX_Control(dx, IDC_TOP_RULE, topRule);
    DDX_Control(dx, IDC_BUTTON0_PANEL, panel[0]);
    DDX_Control(dx, IDC_BUTTON1_PANEL, panel[1]);
    DDX_Control(dx, IDC_MOUSE_PICTURE, picture);
    DDX_Control(dx, IDC_BUTTON0_LABEL, assignmentLabel[0]);
    DDX_Control(dx, IDC_BUTTON1_LABEL, assignmentLabel[1]);
    DDX_Control(dx, IDC_BUTTON0_SETTINGS, settingsButton[0]);
    DDX_Control(dx, IDC_BUTTON1_SETTINGS, settingsButton[1]);
    DDX_Control(dx, IDC_BOTTOM_RULE, bottomRule);
    DDX_Control(dx, IDC_OPTION_CHECK, optionCheck);
    DDX_Control(dx, IDC_OK, okButton);
    DDX_Control(dx, IDC_CANCEL, cancelButton);
    DDX_Control(dx, IDC_APPLY, applyButton);
}

CSpecialButtonData* CTarvixUtilityDlg::DataOf(int index) const
{
    if (index < 0 || index >= MaxButtons || !buttons[index])
        return nullptr;
    return buttons[index]->GetData();
}

const SpecialButtonFunctions* CTarvixUtilityDlg::FunctionsOf(int index) const
{
    if (index < 0 || index >= MaxButtons || !buttons[index])
        return nullptr;
    return &buttons[index]->functions;
}

_SPECIAL_BUTTON_INFO* CTarvixUtilityDlg::SelectedEntry(int index)
{
    if (index < 0 || index >= MaxButtons || !functionList[index].IsWindow())
        return nullptr;
    return static_cast<_SPECIAL_BUTTON_INFO*>(functionList[index].GetItemDataPtr(functionList[index].GetCurSel()));
}

BOOL CTarvixUtilityDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A second copy finds this dialog by the program's title, which a
    // translation may word unlike the template's caption.
    CString title;
    if (title.LoadString(IDS_APP_TITLE))
        SetWindowText(title);
    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);

    for (int i = 0; i < buttonCount && i < MaxButtons; ++i)
        functionList[i].SubclassDlgItem(IDC_BUTTON0_FUNCTIONS + i, this);

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(&placement);
    MoveWindow(0, 0, scale_.X(579), scale_.Y(435), TRUE);
    LayOutControls(placement);

    ReadSettings();
    for (int i = 0; i < buttonCount && i < MaxButtons; ++i)
        FillFunctionList(i);
    // A device with a single button leaves the second set of controls without a button.
    for (int i = buttonCount; i < MaxButtons; ++i) {
        if (CWnd* list = GetDlgItem(IDC_BUTTON0_FUNCTIONS + i))
            list->EnableWindow(FALSE);
        settingsButton[i].EnableWindow(FALSE);
    }
    FillPresetList();

    for (int i = 0; i < buttonCount && i < MaxButtons; ++i)
        functionList[i].EnableWindow(presetActive == 0);
    presetList.SetCurSel(presetSelection);

    if (SettingsConnection* settings = GetSettingsConnection()) {
        INT32 option = 0;
        const SettingRead read = ReadIntSetting(settings, SettingsIndex::Option, option);
        if (read == SettingRead::Value)
            optionCheck.SetCheck(option != 0 ? BST_CHECKED : BST_UNCHECKED);
        NoteSettingRead(SettingsIndex::Option, read);
    }

    // Every start writes what it shows once.
    SetModified(true);
    ApplyChanges();
    return TRUE;
}

void CTarvixUtilityDlg::LayOutControls(const WINDOWPLACEMENT& placement)
{
    for (const ControlPlace& place : controlLayout) {
        CWnd* control = GetDlgItem(place.id);
        if (control == nullptr)
            continue;
        control->MoveWindow(Scaled(scale_, place.design), TRUE);
        if (place.show)
            control->ShowWindow(SW_SHOW);
    }

    mousePicture_.reset(static_cast<HBITMAP>(
        LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDB_MOUSE_PICTURE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (picture.IsWindow()) {
        picture.SetBitmap(mousePicture_.get());
        const RECT& normal = placement.rcNormalPosition;
        const int cx = (normal.left + normal.right) / 2;
        const int cy = (normal.top + normal.bottom) / 2;
        const RECT centred{cx - scale_.X(80), cy - scale_.Y(120), cx + scale_.X(81), cy + scale_.Y(80)};
        picture.MoveWindow(centred, TRUE);
    }
}

void CTarvixUtilityDlg::ReadSettings()
{
    SettingsConnection* settings = GetSettingsConnection();
    if (settings == nullptr)
        return;
    (void)ReloadSettings(settings);
    NoteSettingRead(SettingsIndex::PresetActive, ReadIntSetting(settings, SettingsIndex::PresetActive, presetActive));
    for (int i = 0; i < MaxButtons; ++i) {
        INT32 function = static_cast<INT32>(customFunctionId[i]);
        const SettingRead read = ReadIntSetting(settings, SettingsIndex::CustomFunction0 + i, function);
        if (read == SettingRead::Value)
            customFunctionId[i] = static_cast<UINT32>(function);
        NoteSettingRead(SettingsIndex::CustomFunction0 + i, read);
    }
}

void CTarvixUtilityDlg::FillFunctionList(int index)
{
    SpecialButtonFunctions& functions = buttons[index]->functions;
    for (INT_PTR i = 0; i < functions.GetSize(); ++i) {
        _SPECIAL_BUTTON_INFO& entry = functions.ElementAt(i);
        const int item = functionList[index].AddString(entry.name);
        if (item >= 0)
            functionList[index].SetItemDataPtr(item, &entry);
    }
    SyncFunctionSelection(static_cast<UINT>(index));
}

void CTarvixUtilityDlg::FillPresetList()
{
    const CSpecialButtonData* data0 = DataOf(0);
    const CSpecialButtonData* data1 = DataOf(1);
    const UINT32 f0 = data0 != nullptr ? data0->assignedFunctionId : 0;
    const UINT32 f1 = data1 != nullptr ? data1->assignedFunctionId : 0;

    presetSelection = -1;
    for (int k = 0; k < presetTableSize; ++k) {
        const PresetEntry& preset = presetTable[k];
        CString name;
        name.LoadString(preset.nameId);
        if (k != ownSettingsPreset && !IsPresetAvailable(preset))
            continue;
        const int item = presetList.AddString(name);
        presetList.SetItemDataPtr(item, const_cast<PresetEntry*>(&preset));
        ++presetCount;
        // The own-settings entry has no pair of its own to match.
        if (k != ownSettingsPreset && preset.function0 == f0 && preset.function1 == f1) {
            if (presetActive)
                presetSelection = item;
            presetActive = 1;
        }
    }
    if (presetSelection == -1) {
        presetActive = 0;
        presetSelection = presetCount - 1;
    }
}

BOOL CTarvixUtilityDlg::IsPresetAvailable(const PresetEntry& preset) const
{
    return ::IsPresetAvailable(preset, FunctionsOf(0), FunctionsOf(1));
}

BOOL CTarvixUtilityDlg::SyncFunctionSelection(UINT index)
{
    CSpecialButtonData* data = DataOf(static_cast<int>(index));
    if (data == nullptr || !functionList[index].IsWindow())
        return FALSE;
    CComboBox& list = functionList[index];

    // A plain entry wins at once; without one, the last of the button's own entries.
    const int count = static_cast<int>(buttons[index]->GetFunctionCount());
    int chosen = -1;
    int custom = -1;
    for (int i = 0; i < count; ++i) {
        const auto* entry = static_cast<const _SPECIAL_BUTTON_INFO*>(list.GetItemDataPtr(i));
        if (entry == nullptr || entry->functionId != data->assignedFunctionId)
            continue;
        if (entry->isCustomEntry == 0) {
            chosen = i;
            break;
        }
        custom = i;
    }
    if (chosen < 0)
        chosen = custom;
    const bool matched = chosen >= 0 && chosen < count;
    if (!matched)
        chosen = 0;

    list.SetCurSel(chosen);
    functionSelection[index] = chosen;
    auto* entry = static_cast<_SPECIAL_BUTTON_INFO*>(list.GetItemDataPtr(chosen));
    if (entry == nullptr)
        return FALSE;
    UpdateAssignmentLabel(static_cast<int>(index), *entry);
    settingsButton[index].EnableWindow(OpensSettings(*entry));
    list.EnableWindow(presetActive == 0);

    // The first item merely stands in for an assignment the list does not offer:
    // its program or keys are not the button's, and Apply would write them over
    // what the device keeps for that assignment.
    if (!matched)
        return TRUE;
    data->applicationPath = entry->applicationPath;
    data->applicationArguments = entry->applicationArguments;
    data->applicationFolder = entry->applicationFolder;
    data->functionName = entry->name;
    data->keyCombination = entry->keyCombination;
    return TRUE;
}

void CTarvixUtilityDlg::UpdateAssignmentLabel(int index, const _SPECIAL_BUTTON_INFO& entry)
{
    if (index < 0 || index >= MaxButtons)
        return;
    CString text = entry.displayText;
    if (!entry.applicationPath.IsEmpty()) {
        buttonIcon[index].reset(LoadProgramIcon(entry.displayText, true));
        text = ProgramLabelText(text);
    } else {
        buttonIcon[index].reset();
    }

    CStatic& label = assignmentLabel[index];
    label.SetWindowText(text);
    label.MoveWindow(Scaled(scale_, buttonIcon[index] ? labelWithIcon[index] : labelWithoutIcon[index]), TRUE);
    label.ShowWindow(SW_SHOW);
    const RECT area = Scaled(scale_, labelArea[index]);
    InvalidateRect(&area, TRUE);
}

void CTarvixUtilityDlg::SetModified(bool enable)
{
    CWnd* focus = CWnd::GetFocus();
    if (focus != nullptr && applyButton.IsWindow() && focus->m_hWnd == applyButton.m_hWnd) {
        if (CWnd* first = GetDlgItem(IDOK))
            GotoDlgCtrl(first);
        else
            NextDlgCtrl();
    }
    applyButton.EnableWindow(enable);
    modified = enable;
}

void CTarvixUtilityDlg::ApplyChanges()
{
    if (!modified)
        return;
    SetModified(false);
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        if (button)
            (void)button->Apply();  // the device reports nothing back

    const bool checked = optionCheck.GetCheck() == BST_CHECKED;
    if (SettingsConnection* settings = GetSettingsConnection()) {
        const INT32 values[] = {presetActive, static_cast<INT32>(customFunctionId[0]),
                                static_cast<INT32>(customFunctionId[1]), checked ? 1 : 0};
        // Write and commit failures are not the user's to handle.
        for (LONG index = SettingsIndex::PresetActive; index <= SettingsIndex::Option; ++index)
            if (settingKnown_[index - 1])
                (void)WriteIntSetting(settings, index, values[index - 1]);
        (void)CommitSettings(settings);
    }
}

void CTarvixUtilityDlg::OnOK()
{
    ApplyChanges();
    EndDialog(IDOK);
}

void CTarvixUtilityDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CTarvixUtilityDlg::OnOkButton()
{
    OnOK();
}

void CTarvixUtilityDlg::OnCancelButton()
{
    OnCancel();
}

void CTarvixUtilityDlg::OnApply()
{
    ApplyChanges();
    GotoDlgCtrl(&okButton);
}

void CTarvixUtilityDlg::OnOptionClicked()
{
    NoteSettingKnown(SettingsIndex::Option);
    SetModified(true);
}

LRESULT CTarvixUtilityDlg::OnShutdownRequest(WPARAM, LPARAM)
{
    if (GetEndResult() != -1)
        return 0;
    // Dialogs that are not ours (the chooser's warning box, the open-file
    // dialog) would keep their loops, and with them the program, running.
    EnumThreadWindows(GetCurrentThreadId(), CancelForeignDialog, reinterpret_cast<LPARAM>(m_hWnd));
    if (subDialog_ == nullptr) {
        OnOK();
        return 0;
    }
    // The sub-dialog's loop runs beneath this handler: the dialog can only end
    // once that loop has returned to OnFunctionSettings, which finishes the request.
    shutdownDue_ = true;
    subDialog_->OnCancel();
    return 0;
}
