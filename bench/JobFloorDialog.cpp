// The floor of the main dialog: the product's own template from its en-US
// language file, shown with what the product shows in it (the device's
// functions in both lists, the labels, the preset names, the mouse picture,
// the white page with its band) and the same outside calls (the device read,
// the settings reloaded and read, the start's one apply and commit), without
// the product's classes. Like the product it stays until it is closed.
#include <windows.h>
#include <objbase.h>
#include "Guards.h"
#include "JobFloorCalls.h"
#include "tarvix/resource.h"

namespace {

const COLORREF white = RGB(255, 255, 255);
const COLORREF rule = RGB(216, 216, 216);
const COLORREF band = RGB(240, 240, 240);
const int presetNames[] = {IDS_PRESET_0, IDS_PRESET_1, IDS_PRESET_2, IDS_PRESET_3,
                           IDS_PRESET_4, IDS_PRESET_5, IDS_PRESET_6, IDS_PRESET_OWN};
// Where the product puts the two labels (96 DPI), clear of the picture.
const RECT labelPlaces[2] = {{32, 152, 197, 173}, {384, 152, 547, 173}};
// Controls the page's white shows through.
const int whiteControls[] = {IDC_OPTION_CHECK,  IDC_PRESET_CAPTION, IDC_MOUSE_PICTURE, IDC_BUTTON0_PANEL,
                             IDC_BUTTON1_PANEL, IDC_BUTTON0_LABEL,  IDC_BUTTON1_LABEL};

struct Floor
{
    HMODULE texts = nullptr;
    ISpecialButtonDevice* device = nullptr;
    std::vector<FloorButton>* buttons = nullptr;
    int dpiX = 96;
    int dpiY = 96;
    FloorSettings settings;
    unique_gdi<HBRUSH> whiteBrush{CreateSolidBrush(white)};
    unique_gdi<HBITMAP> picture;
    HICON icon = nullptr;  // shared, as LoadIconW gives it
};

std::wstring Text(HMODULE module, int id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring EntryName(const Floor& floor, const FloorButton& button, const FloorEntry& entry)
{
    if (!entry.name.empty())
        return entry.name;
    return Text(floor.texts,
                entry.id == static_cast<ULONG>(button.id) + 100 ? IDS_LAUNCH_ENTRY_NAME : IDS_KEY_ENTRY_NAME);
}

void Show(HWND dialog, Floor& floor)
{
    SetWindowTextW(dialog, Text(floor.texts, IDS_APP_TITLE).c_str());
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(floor.icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(floor.icon));
    MoveWindow(dialog, 0, 0, MulDiv(579, floor.dpiX, 96), MulDiv(435, floor.dpiY, 96), TRUE);

    // The dialog's four values: reloaded, read, and written back once.
    INT32 values[4] = {0, 0, 0, 0};
    const bool connected = floor.settings.Connect();
    if (connected) {
        (void)floor.settings->Reload();
        for (LONG index = 1; index <= 4; ++index) {
            VARIANT value = IntValue(values[index - 1]);
            if (floor.settings->GetValue(floor.settings.Section(), index, &value) == S_OK && V_VT(&value) == VT_INT)
                values[index - 1] = V_INT(&value);
        }
    }

    for (size_t b = 0; b < floor.buttons->size() && b < 2; ++b) {
        const FloorButton& button = (*floor.buttons)[b];
        HWND list = GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS + static_cast<int>(b));
        int selected = 0;
        std::wstring label;
        for (const FloorEntry& entry : button.entries) {
            const std::wstring name = EntryName(floor, button, entry);
            const LRESULT item = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            if (entry.id == button.assigned) {
                selected = static_cast<int>(item);
                label = name;
            }
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        EnableWindow(list, values[0] == 0);
        HWND labelWindow = GetDlgItem(dialog, IDC_BUTTON0_LABEL + static_cast<int>(b));
        SetWindowTextW(labelWindow, label.c_str());
        const RECT& place = labelPlaces[b];
        MoveWindow(labelWindow, MulDiv(place.left, floor.dpiX, 96), MulDiv(place.top, floor.dpiY, 96),
                   MulDiv(place.right - place.left, floor.dpiX, 96), MulDiv(place.bottom - place.top, floor.dpiY, 96),
                   TRUE);
    }
    HWND presets = GetDlgItem(dialog, IDC_PRESET_LIST);
    for (int id : presetNames)
        SendMessageW(presets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(floor.texts, id).c_str()));
    SendMessageW(presets, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, IDC_OPTION_CHECK, values[3] != 0 ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(dialog, IDC_MOUSE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(floor.picture.get()));

    // Every start writes what it shows once.
    for (const FloorButton& button : *floor.buttons)
        ApplyButton(floor.device, button, button.assigned);
    if (connected) {
        for (LONG index = 1; index <= 4; ++index)
            (void)floor.settings->SetValue(floor.settings.Section(), index, IntValue(values[index - 1]));
        (void)floor.settings->Commit();
    }
}

void Paint(HWND dialog, const Floor& floor)
{
    const paint_dc dc(dialog);
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc.get(), &client, floor.whiteBrush.get());
    unique_gdi<HPEN> pen(CreatePen(PS_SOLID, 1, rule));
    {
        selected_object selected(dc.get(), pen.get());
        MoveToEx(dc.get(), 0, MulDiv(367, floor.dpiY, 96), nullptr);
        LineTo(dc.get(), client.right, MulDiv(367, floor.dpiY, 96));
    }
    unique_gdi<HBRUSH> bandBrush(CreateSolidBrush(band));
    const RECT bandRect{0, MulDiv(368, floor.dpiY, 96), client.right, client.bottom};
    FillRect(dc.get(), &bandRect, bandBrush.get());
}

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Floor* floor = reinterpret_cast<Floor*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Show(dialog, *reinterpret_cast<Floor*>(lParam));
        return TRUE;
    case WM_PAINT:
        if (floor == nullptr)
            return FALSE;
        Paint(dialog, *floor);
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (floor != nullptr)
            for (int id : whiteControls)
                if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == id) {
                    SetBkColor(reinterpret_cast<HDC>(wParam), white);
                    return reinterpret_cast<INT_PTR>(floor->whiteBrush.get());
                }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_CANCEL || LOWORD(wParam) == IDC_OK) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring textsPath(path, length);
    textsPath = textsPath.substr(0, textsPath.find_last_of(L'\\') + 1) + L"en-US\\TarvixUtility.exe.mui";
    const unique_hmodule texts(
        LoadLibraryExW(textsPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = texts ? FindResourceW(texts.get(), MAKEINTRESOURCEW(IDD_MAIN_DIALOG), RT_DIALOG) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(texts.get(), found) : nullptr;
    if (loaded == nullptr)
        return 3;

    // Like the product, the thread's apartment is left to the ending process.
    (void)CoInitialize(nullptr);
    com_ptr<ISpecialButtonDevice> device;
    std::vector<FloorButton> buttons;
    if (FAILED(CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpecialButtonDevice,
                                device.put_void())) ||
        !ReadButtons(device.get(), buttons, false))
        return 1;

    Floor floor;
    floor.texts = texts.get();
    floor.device = device.get();
    floor.buttons = &buttons;
    {
        const window_dc screen(nullptr);
        if (screen) {
            floor.dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
            floor.dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }
    floor.picture.reset(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_MOUSE_PICTURE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    floor.icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    const INT_PTR result = DialogBoxIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)),
                                                   nullptr, FloorProc, reinterpret_cast<LPARAM>(&floor));
    return result == -1 ? 1 : 0;
}
