// A message hook that the fit test sets on the thread of a dialog in a program
// it started: Windows loads this DLL there, where the controls' fonts can be
// selected. On the registered message "TarvixTest-FitProbe-Measure" posted to a
// window, it measures every visible text control inside that window with the
// control's own font and writes one line per measure to the file named by the
// program's FIT_PROBE_OUT (inherited from the test), then sets the event
// "TarvixTest-FitProbe-Done-<process id>", which the test made.
//
// A line: kind, control id, needed pixels, available pixels, text (UTF-8,
// tab-separated). The first line gives the screen's resolution. After the
// measures come the window's look: "icon" (the system's icon size), one
// "child" line per direct child (id, class, style, its rectangle in the
// window's client coordinates, the height of a line of its font) and "pixels"
// (client width and height); the client area itself, as the screen shows it,
// goes to FIT_PROBE_OUT with ".pixels" appended: rows from the top, four bytes
// (blue, green, red, unused) per pixel.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "Guards.h"
#include "Handles.h"

namespace {

struct Measure
{
    const char* kind;
    int id;
    int needed;
    int available;
    std::wstring text;
};

std::string Utf8(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
    return bytes;
}

std::wstring Text(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// The text drawn in the control's own font, as DrawText lays it out: `width`
// bounds a text that wraps.
SIZE TextSize(HWND control, const std::wstring& text, UINT format, int width = 0)
{
    window_dc dc(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    selected_object selected(dc.get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

int AverageCharWidth(HWND control)
{
    window_dc dc(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    selected_object selected(dc.get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmAveCharWidth;
}

UINT Dpi(HWND window)
{
    window_dc dc(window);
    return static_cast<UINT>(GetDeviceCaps(dc.get(), LOGPIXELSX));
}

void MeasureStatic(HWND control, std::vector<Measure>& out)
{
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
        return;
    const std::wstring text = Text(control);
    if (text.empty())
        return;
    RECT client{};
    GetClientRect(control, &client);
    const UINT prefix = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    const int id = GetDlgCtrlID(control);
    const int lineHeight = TextSize(control, L"Ag", DT_SINGLELINE).cy;
    const bool wraps = type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE &&
                       (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) == 0 &&
                       client.bottom >= 2 * lineHeight;
    if (!wraps) {
        out.push_back({"static", id, TextSize(control, text, DT_SINGLELINE | prefix).cx, client.right, text});
        return;
    }
    // A wrapping text is clipped when one word is wider than the control or
    // the lines need more height than it has.
    const SIZE size = TextSize(control, text, DT_WORDBREAK | DT_EXPANDTABS | prefix, client.right);
    out.push_back({"static-wrapped-width", id, size.cx, client.right, text});
    out.push_back({"static-wrapped-height", id, size.cy, client.bottom, text});
}

void MeasureButton(HWND control, UINT dpi, std::vector<Measure>& out)
{
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    const std::wstring text = Text(control);
    if (text.empty())
        return;
    RECT client{};
    GetClientRect(control, &client);
    const int id = GetDlgCtrlID(control);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    int allowance = 0;
    const char* kind = nullptr;
    switch (type) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        // The raised border and the focus rectangle inside it, on both sides.
        kind = "button";
        allowance = 2 * (edge + 1);
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        // The box or dot, the gap after it (half an average character) and the
        // focus rectangle around the text.
        kind = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ? "radio" : "check";
        // The box grows with the resolution whether or not the metric does.
        allowance = std::max(GetSystemMetrics(SM_CXMENUCHECK), MulDiv(13, static_cast<int>(dpi), 96)) +
                    AverageCharWidth(control) / 2 + 2;
        break;
    case BS_GROUPBOX:
        // The caption is set into the frame one average character in from each side.
        kind = "group";
        allowance = 2 * AverageCharWidth(control);
        break;
    default:
        return;
    }
    out.push_back({kind, id, TextSize(control, text, DT_SINGLELINE).cx + allowance, client.right, text});
}

void MeasureCombo(HWND control, std::vector<Measure>& out)
{
    RECT client{};
    GetClientRect(control, &client);
    // The closed list shows its entry between the sunken edge and the arrow button.
    const int field = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE) - 2;
    const int id = GetDlgCtrlID(control);
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0)
            continue;
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        item.resize(static_cast<size_t>(
            SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item[0]))));
        out.push_back({"combo-entry", id, TextSize(control, item, DT_SINGLELINE | DT_NOPREFIX).cx, field, item});
    }
}

void MeasureListView(HWND control, std::vector<Measure>& out)
{
    RECT client{};
    GetClientRect(control, &client);
    const int id = GetDlgCtrlID(control);
    const int count = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[512] = L"";
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(control, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT label{};
        label.left = LVIR_LABEL;
        if (buffer[0] == L'\0' ||
            !SendMessageW(control, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&label)))
            continue;
        // What of the label the list shows: its column, within the client area.
        const int available = (label.right < client.right ? label.right : client.right) - label.left;
        out.push_back({"list-entry", id, TextSize(control, buffer, DT_SINGLELINE | DT_NOPREFIX).cx + 2 * edge,
                       available, buffer});
    }
}

struct Walk
{
    UINT dpi;
    std::vector<Measure>* out;
};

BOOL CALLBACK MeasureChild(HWND control, LPARAM param)
{
    const Walk& walk = *reinterpret_cast<const Walk*>(param);
    if (!IsWindowVisible(control))
        return TRUE;
    const std::wstring name = ClassOf(control);
    if (lstrcmpiW(name.c_str(), L"Static") == 0)
        MeasureStatic(control, *walk.out);
    else if (lstrcmpiW(name.c_str(), L"Button") == 0)
        MeasureButton(control, walk.dpi, *walk.out);
    else if (lstrcmpiW(name.c_str(), L"ComboBox") == 0)
        MeasureCombo(control, *walk.out);
    else if (lstrcmpiW(name.c_str(), WC_LISTVIEWW) == 0)
        MeasureListView(control, *walk.out);
    return TRUE;
}

struct Child
{
    HWND parent;
    std::string* lines;
};

BOOL CALLBACK DescribeChild(HWND control, LPARAM param)
{
    const Child& child = *reinterpret_cast<const Child*>(param);
    if (GetParent(control) != child.parent || !IsWindowVisible(control))
        return TRUE;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, child.parent, reinterpret_cast<POINT*>(&rect), 2);
    char style[16];
    std::snprintf(style, sizeof(style), "%08lx", static_cast<unsigned long>(GetWindowLongW(control, GWL_STYLE)));
    *child.lines += "child\t" + std::to_string(GetDlgCtrlID(control)) + "\t" + Utf8(ClassOf(control)) + "\t" + style +
                    "\t" + std::to_string(rect.left) + "\t" + std::to_string(rect.top) + "\t" +
                    std::to_string(rect.right) + "\t" + std::to_string(rect.bottom) + "\t" +
                    std::to_string(TextSize(control, L"Ag", DT_SINGLELINE).cy) + "\n";
    return TRUE;
}

// The client area as it is on the screen, children included: read from the
// window's DC, since printing the window would leave the children out.
std::string Look(HWND window, const std::wstring& pixelFile)
{
    // Whatever waits to be painted is painted first, so the pixels are those a user sees.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    GetClientRect(window, &client);
    std::string lines = "icon\t" + std::to_string(GetSystemMetrics(SM_CXICON)) + "\t" +
                        std::to_string(GetSystemMetrics(SM_CYICON)) + "\n";
    Child child{window, &lines};
    EnumChildWindows(window, DescribeChild, reinterpret_cast<LPARAM>(&child));

    window_dc screen(window);
    unique_hdc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    unique_gdi<HBITMAP> bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap || bits == nullptr)
        return lines;
    {
        selected_object selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY))
            return lines;
    }
    GdiFlush();
    unique_handle file(
        CreateFileW(pixelFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = static_cast<DWORD>(client.right) * static_cast<DWORD>(client.bottom) * 4;
    DWORD written = 0;
    if (file && WriteFile(file.get(), bits, size, &written, nullptr) && written == size)
        lines += "pixels\t" + std::to_string(client.right) + "\t" + std::to_string(client.bottom) + "\n";
    return lines;
}

void MeasureAll(HWND window)
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"FIT_PROBE_OUT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::vector<Measure> measures;
    Walk walk{Dpi(window), &measures};
    EnumChildWindows(window, MeasureChild, reinterpret_cast<LPARAM>(&walk));

    std::string lines = "dpi\t" + std::to_string(walk.dpi) + "\n";
    for (const Measure& m : measures)
        lines += std::string(m.kind) + "\t" + std::to_string(m.id) + "\t" + std::to_string(m.needed) + "\t" +
                 std::to_string(m.available) + "\t" + Utf8(m.text) + "\n";
    lines += Look(window, std::wstring(path) + L".pixels");
    unique_handle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

}  // namespace

extern "C" LRESULT CALLBACK FitProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT measure = RegisterWindowMessageW(L"TarvixTest-FitProbe-Measure");
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == measure) {
        MeasureAll(message->hwnd);
        const std::wstring name = L"TarvixTest-FitProbe-Done-" + std::to_wstring(GetCurrentProcessId());
        unique_handle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str()));
        if (done)
            SetEvent(done.get());
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
