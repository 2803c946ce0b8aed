#include "TarvixUtilityDlg.h"
#include "DataExchange.h"
#include "Guards.h"
#include "MousePicture.h"
#include "ProgramIcon.h"
#include "SettingsConnection.h"
#include "ShutdownMessage.h"
#include "WinApp.h"
#include "tarvix/resource.h"

namespace {

DialogScale ScreenScale()
{
    DialogScale scale;
    const window_dc screen(nullptr);
    if (screen) {
        scale.dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
        scale.dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return scale;
}

// The settings of a dialog made without any: the process-wide connection.
ISettingsAccess& ProcessSettings()
{
    static CServiceSettings settings;
    return settings;
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

}  // namespace

const MessageMapEntry CTarvixUtilityDlg::messageEntries[] = {
    MapDefault(WM_SYSCOMMAND),
    MapPaint<&CTarvixUtilityDlg::OnPaint>(),
    MapCtlColor<&CTarvixUtilityDlg::OnCtlColor>(),
    MapCommandRange<&CTarvixUtilityDlg::OnFunctionChanged>(CBN_SELCHANGE, IDC_BUTTON0_FUNCTIONS,
                                                           IDC_BUTTON1_FUNCTIONS),
    MapCommand<&CTarvixUtilityDlg::OnPresetChanged>(CBN_SELCHANGE, IDC_PRESET_LIST),
    MapCommandRange<&CTarvixUtilityDlg::OnFunctionSettings>(BN_CLICKED, IDC_BUTTON0_SETTINGS, IDC_BUTTON1_SETTINGS),
    MapCommand<&CTarvixUtilityDlg::OnOkButton>(BN_CLICKED, IDC_OK),
    MapCommand<&CTarvixUtilityDlg::OnCancelButton>(BN_CLICKED, IDC_CANCEL),
    MapCommand<&CTarvixUtilityDlg::OnApply>(BN_CLICKED, IDC_APPLY),
    MapDefault(WM_NCPAINT),
    MapCommand<&CTarvixUtilityDlg::OnOptionClicked>(BN_CLICKED, IDC_OPTION_CHECK),
    MapMessage<&CTarvixUtilityDlg::OnEraseBackground>(WM_ERASEBKGND),
    MapMessage<&CTarvixUtilityDlg::OnPrintClient>(WM_PRINTCLIENT),
    MapRegisteredMessage<&CTarvixUtilityDlg::OnShutdownRequest>(&shutdownNotifyMessage),
};
const MessageMap CTarvixUtilityDlg::messageMap = MakeMessageMap(&CDialog::messageMap, messageEntries);

CTarvixUtilityDlg::CTarvixUtilityDlg() : CTarvixUtilityDlg(ProcessSettings(), ScreenScale())
{
}

CTarvixUtilityDlg::CTarvixUtilityDlg(ISettingsAccess& settings) : CTarvixUtilityDlg(settings, ScreenScale())
{
}

CTarvixUtilityDlg::CTarvixUtilityDlg(ISettingsAccess& settings, const DialogScale& scale)
    : CDialog(IDD_MAIN_DIALOG), model_(settings), scale_(scale), whiteBrush_(CreateSolidBrush(RGB(255, 255, 255)))
{
    appIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
}

CTarvixUtilityDlg::~CTarvixUtilityDlg() = default;

BOOL CTarvixUtilityDlg::InitializeButtons(bool silent)
{
    silent_ = silent;
    return model_.Initialize(silent) ? TRUE : FALSE;
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

BOOL CTarvixUtilityDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A second copy finds this dialog by the program's title, which a
    // translation may word unlike the template's caption.
    const CString title = LoadText(IDS_APP_TITLE);
    if (!title.IsEmpty())
        SetWindowText(title);
    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);

    for (int i = 0; i < model_.ButtonCount() && i < MaxButtons; ++i)
        functionList[i].SubclassDlgItem(IDC_BUTTON0_FUNCTIONS + i, this);
    for (int i = 0; i < MaxButtons; ++i) {
        functionListName[i].set(::GetDlgItem(m_hWnd, IDC_BUTTON0_FUNCTIONS + i), LoadText(IDS_FUNCTIONS_NAME_0 + i));
        settingsButtonName[i].set(::GetDlgItem(m_hWnd, IDC_BUTTON0_SETTINGS + i), LoadText(IDS_SETTINGS_NAME_0 + i));
    }

    // The placement is read once the window has its design size: the template's
    // own size follows the dialog font, which does not scale exactly with the
    // resolution, and the picture centred on it would miss its place between
    // the panels by up to 20 pixels.
    MoveWindow(0, 0, scale_.X(579), scale_.Y(435), TRUE);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(&placement);
    LayOutControls(placement);

    model_.Start();
    for (int i = 0; i < model_.ButtonCount() && i < MaxButtons; ++i)
        FillFunctionList(i);
    // A device with a single button leaves the second set of controls without a button.
    for (int i = model_.ButtonCount(); i < MaxButtons; ++i) {
        if (CWnd* list = GetDlgItem(IDC_BUTTON0_FUNCTIONS + i))
            list->EnableWindow(FALSE);
        settingsButton[i].EnableWindow(FALSE);
    }
    FillPresetList();

    if (model_.LoadOption(optionCheck.GetCheck() == BST_CHECKED))
        optionCheck.SetCheck(model_.Option() ? BST_CHECKED : BST_UNCHECKED);

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

    mousePicture_.reset(CMousePicture::Load(AfxGetInstanceHandle(), scale_));
    if (picture.IsWindow()) {
        picture.SetBitmap(mousePicture_.get());
        const RECT& normal = placement.rcNormalPosition;
        const int cx = (normal.left + normal.right) / 2;
        const int cy = (normal.top + normal.bottom) / 2;
        const RECT centred{cx - scale_.X(80), cy - scale_.Y(120), cx + scale_.X(81), cy + scale_.Y(80)};
        picture.MoveWindow(centred, TRUE);
    }
}

void CTarvixUtilityDlg::FillFunctionList(int index)
{
    for (const CString& name : model_.View(index).items)
        functionList[index].AddString(name);
    SyncFunctionSelection(static_cast<UINT>(index));
}

void CTarvixUtilityDlg::FillPresetList()
{
    for (UINT name : model_.Presets().names)
        presetList.AddString(LoadText(name));
    ShowPresetSelection();
}

void CTarvixUtilityDlg::ShowPresetSelection()
{
    presetList.SetCurSel(model_.Presets().selected);
}

BOOL CTarvixUtilityDlg::IsPresetAvailable(const PresetEntry& preset) const
{
    return model_.IsPresetAvailable(preset) ? TRUE : FALSE;
}

BOOL CTarvixUtilityDlg::SyncFunctionSelection(UINT index)
{
    const int button = static_cast<int>(index);
    if (button >= model_.ButtonCount() || index >= MaxButtons || !functionList[index].IsWindow())
        return FALSE;
    const ButtonView view = model_.View(button);
    functionList[index].SetCurSel(view.selected);
    UpdateAssignmentLabel(button, view);
    settingsButton[index].EnableWindow(view.settingsEnabled);
    functionList[index].EnableWindow(view.listEnabled);
    return TRUE;
}

void CTarvixUtilityDlg::UpdateAssignmentLabel(int index, const ButtonView& view)
{
    if (index < 0 || index >= MaxButtons)
        return;
    buttonIcon[index].reset(view.program.IsEmpty() ? nullptr : LoadProgramIcon(view.program, true));

    CStatic& label = assignmentLabel[index];
    label.SetWindowText(view.label);
    label.MoveWindow(Scaled(scale_, buttonIcon[index] ? labelWithIcon[index] : labelWithoutIcon[index]), TRUE);
    label.ShowWindow(SW_SHOW);
    const RECT area = Scaled(scale_, labelArea[index]);
    InvalidateRect(&area, TRUE);
}

void CTarvixUtilityDlg::SetModified(bool enable)
{
    // A disabled button cannot keep the focus.
    if (applyButton.IsWindow() && ::GetFocus() == applyButton.m_hWnd)
        NextDlgCtrl();
    applyButton.EnableWindow(enable);
    modified = enable;
}

void CTarvixUtilityDlg::ApplyChanges()
{
    if (!modified)
        return;
    SetModified(false);
    // What the box shows is written, also a state set without a click (by an
    // assistive tool); an unchanged box leaves an unread value alone.
    const bool checked = optionCheck.GetCheck() == BST_CHECKED;
    if (checked != model_.Option())
        model_.SetOption(checked);
    // A refused assignment stays pending, so that OK or Apply tries it again.
    if (!model_.Apply())
        SetModified(true);
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
    model_.SetOption(optionCheck.GetCheck() == BST_CHECKED);
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
