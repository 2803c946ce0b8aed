// Nothing is clipped: in every dialog and on both of Peryl's pages, in each
// language and at each screen resolution, every label, check box, radio button
// and button text fits its control, and every entry the programs fill into a
// list fits the list. Measured inside the program (FitProbe.dll) with each
// control's own font.
//
// And the pages look as drawn at every resolution, read from the pixels the
// program shows (FitProbe.dll again): the main dialog's rule and band on their
// scaled rows, its upper area white but for the controls, the panels' frames
// and the program icons at their scaled places, and the mouse picture at the
// dialog's scale, its guide lines level with the labels and reaching the
// panels; Peryl's pages one colour between their controls.
//
// Wine reads the resolution when a process starts and gives a process the UI
// language of its LANG, children included; so CTest runs this program once per
// resolution and LANG (run-fit.sh, in a prefix of the test's own), and each run
// takes the rows of its own pair.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include "support/TempFolder.h"
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include "Handles.h"
#include "Scenes.h"
#include "peryl/resource.h"
#include "tarvix/resource.h"

namespace {

const DWORD probeTimeoutMs = 30000;

// What a scene's pixels are checked for.
enum class Look
{
    None,
    MainDialog,  // the main dialog's own page
    PerylPage,   // one of Peryl's pages in the host
};

struct SceneRow
{
    const wchar_t* scene;
    int pageControl;        // for the host: a control of the Peryl page to measure; 0: the whole window
    size_t fewestMeasures;  // fewer means controls went unmeasured
    Look look;
    bool programIcon[2];  // main dialog: which buttons show a program's icon
};

// The dialogs: the main dialog in both modes (the labels differ), the
// key-combination dialog, the application chooser, the host on each page.
const SceneRow sceneRows[] = {
    // 2 group boxes, 4 buttons, check box, label, entries of 3 lists; button 1 starts a program
    {L"main-own", 0, 30, Look::MainDialog, {false, true}},
    {L"main-preset", 0, 30, Look::MainDialog, {false, false}},
    {L"key-combination", 0, 30, Look::None, {}},     // 4 labels, 2 buttons, the entries of 3 lists
    {L"application-chooser", 0, 7, Look::None, {}},  // 4 labels, 3 buttons
    // heading, 3 radio buttons, texts, 2 listed applications
    {L"host-logo-lamp", IDC_LOGO_LAMP_HEADING, 8, Look::PerylPage, {}},
    {L"host-lamp-brightness", IDC_LAMP_BRIGHTNESS_HEADING, 8, Look::PerylPage, {}},
};

struct LanguageRow
{
    const char* what;
    const wchar_t* lang;
    LANGID shown;
};

const LanguageRow languageRows[] = {
    {"English", L"C.UTF-8", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    {"German", L"de_DE.UTF-8", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
};

const int dpiRows[] = {96, 120, 144, 192};

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[256] = L"";
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length < 256 ? value : L"";
}

std::string Narrow(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
    return bytes;
}

// The probe's hook on the thread that runs a window, removed when it goes.
class ProbeHook
{
public:
    explicit ProbeHook(HWND window) : module_(LoadLibraryW(L"FitProbe.dll"))
    {
        const auto proc = module_ ? reinterpret_cast<HOOKPROC>(
                                        reinterpret_cast<void*>(GetProcAddress(module_.get(), "FitProbeHook")))
                                  : nullptr;
        if (proc != nullptr)
            hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, module_.get(), GetWindowThreadProcessId(window, nullptr));
    }
    ~ProbeHook()
    {
        if (hook_ != nullptr)
            UnhookWindowsHookEx(hook_);
    }
    ProbeHook(const ProbeHook&) = delete;
    ProbeHook& operator=(const ProbeHook&) = delete;
    bool ok() const { return hook_ != nullptr; }

private:
    unique_hmodule module_;
    HHOOK hook_ = nullptr;
};

struct Found
{
    int id;
    HWND window;
};

BOOL CALLBACK MatchId(HWND window, LPARAM param)
{
    auto& found = *reinterpret_cast<Found*>(param);
    if (GetDlgCtrlID(window) != found.id)
        return TRUE;
    found.window = window;
    return FALSE;
}

// The window whose controls a row measures.
HWND Measured(HWND window, int pageControl)
{
    if (pageControl == 0)
        return window;
    Found found{pageControl, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr ? GetParent(found.window) : nullptr;
}

std::string ReadAll(const std::wstring& path)
{
    unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

// --- the pixels -------------------------------------------------------------

constexpr uint32_t white = 0xFFFFFF;
constexpr uint32_t ruleColour = 0xD8D8D8;
constexpr uint32_t bandColour = 0xF0F0F0;

struct ChildWindow
{
    int id;
    std::string className;
    unsigned long style;
    RECT rect;
    int lineHeight;

    bool IsGroupBox() const { return className == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX; }
};

// The client area as the probe read it, and the windows in it.
struct Capture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows from the top
    SIZE icon{};
    std::vector<ChildWindow> children;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
    const ChildWindow* Child(int id) const
    {
        for (const ChildWindow& child : children)
            if (child.id == id)
                return &child;
        return nullptr;
    }
};

bool Inside(const RECT& rect, int x, int y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool Dark(uint32_t colour)
{
    return ((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF) + (colour & 0xFF) < 3 * 128;
}

std::string Hex(uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof(text), "%06X", static_cast<unsigned>(colour));
    return text;
}

// Counts the pixels that break a rule and keeps the first few to name them.
class Faults
{
public:
    void Add(int x, int y, uint32_t colour)
    {
        if (count_++ < 5)
            first_ += " (" + std::to_string(x) + ", " + std::to_string(y) + ") " + Hex(colour);
    }
    int Count() const { return count_; }
    const std::string& First() const { return first_; }

private:
    int count_ = 0;
    std::string first_;
};

// A panel's own pixels: its title, and its frame, found as the rows and columns
// drawn across the panel. The frame is a line: where more rows or columns are
// drawn across, the dialog's background shows between the panel's edge and it.
class PanelPixels
{
public:
    PanelPixels(const Capture& capture, const ChildWindow& panel, const std::vector<RECT>& others) : rect_(panel.rect)
    {
        const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
        title_ = RECT{0, rect_.top, 0, rect_.top + panel.lineHeight};
        int first = rect_.right, last = rect_.left - 1;
        for (int y = title_.top; y < title_.bottom; ++y)
            for (int x = rect_.left; x < rect_.right; ++x)
                if (Dark(capture.At(x, y))) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        // Anti-aliased edges of the title's letters are its own too.
        title_.left = first - 2;
        title_.right = last + 3;

        std::vector<int> rowDrawn(height), rowSeen(height), columnDrawn(width), columnSeen(width);
        for (int y = rect_.top; y < rect_.bottom; ++y)
            for (int x = rect_.left; x < rect_.right; ++x) {
                if (Inside(title_, x, y) ||
                    std::any_of(others.begin(), others.end(), [x, y](const RECT& r) { return Inside(r, x, y); }))
                    continue;
                const bool drawn = capture.At(x, y) != white;
                ++rowSeen[y - rect_.top];
                ++columnSeen[x - rect_.left];
                rowDrawn[y - rect_.top] += drawn;
                columnDrawn[x - rect_.left] += drawn;
            }
        auto across = [](int drawn, int seen) { return seen >= 8 && 4 * drawn >= 3 * seen; };
        for (int y = 0; y < height; ++y)
            frameRows_.push_back(across(rowDrawn[y], rowSeen[y]));
        for (int x = 0; x < width; ++x)
            frameColumns_.push_back(across(columnDrawn[x], columnSeen[x]));
    }

    // The title, the frame, and the frame's rounded corners.
    bool Own(int x, int y) const
    {
        return Inside(title_, x, y) || Near(frameRows_, y - rect_.top, 0) || Near(frameColumns_, x - rect_.left, 0) ||
               (Near(frameRows_, y - rect_.top, 2) && Near(frameColumns_, x - rect_.left, 2));
    }
    // Rows drawn across in the upper or lower half, columns in the left or right half.
    int Thickness(const std::vector<bool>& lines, bool secondHalf) const
    {
        const size_t half = lines.size() / 2;
        return static_cast<int>(std::count(lines.begin() + (secondHalf ? half : 0),
                                           secondHalf ? lines.end() : lines.begin() + half, true));
    }
    const std::vector<bool>& FrameRows() const { return frameRows_; }
    const std::vector<bool>& FrameColumns() const { return frameColumns_; }

private:
    static bool Near(const std::vector<bool>& lines, int at, int distance)
    {
        for (int i = std::max(0, at - distance); i <= std::min(static_cast<int>(lines.size()) - 1, at + distance);
             ++i)
            if (lines[i])
                return true;
        return false;
    }

    RECT rect_;
    RECT title_;
    std::vector<bool> frameRows_;
    std::vector<bool> frameColumns_;
};

// The rows of the picture whose first (or last) `length` pixels are all drawn:
// the guide line on that side, as first and one-past-last row.
std::pair<int, int> GuideRows(const Capture& capture, const RECT& picture, bool left, int length)
{
    int first = -1, last = -1;
    for (int y = picture.top; y < picture.bottom; ++y) {
        bool drawn = true;
        for (int i = 0; i < length && drawn; ++i)
            drawn = capture.At(left ? picture.left + i : picture.right - 1 - i, y) != white;
        if (!drawn)
            continue;
        if (first < 0)
            first = y;
        else
            EXPECT_EQ(last + 1, y) << "the guide line on the " << (left ? "left" : "right") << " is broken";
        last = y;
    }
    return {first, last + 1};
}

void ExpectMainDialogLook(const Capture& capture, int dpi, const bool (&programIcon)[2])
{
    auto X = [dpi](int value) { return MulDiv(value, dpi, 96); };
    const int ruleRow = X(367), bandRow = X(368);
    ASSERT_GT(capture.height, bandRow) << "the client area ends above the button band";

    // The rule and the band's first row run all across.
    const int right = std::min(capture.width, X(579));
    Faults rule, band;
    for (int x = 0; x < right; ++x) {
        if (capture.At(x, ruleRow) != ruleColour)
            rule.Add(x, ruleRow, capture.At(x, ruleRow));
        if (capture.At(x, bandRow) != bandColour)
            band.Add(x, bandRow, capture.At(x, bandRow));
    }
    EXPECT_EQ(0, rule.Count()) << "pixels of row " << ruleRow << " are not the rule's:" << rule.First();
    EXPECT_EQ(0, band.Count()) << "pixels of row " << bandRow << " are not the band's:" << band.First();

    // Above the rule: white, but for the controls, the panels' own pixels and the icons.
    std::vector<RECT> controls, icons;
    for (const ChildWindow& child : capture.children)
        if (!child.IsGroupBox())
            controls.push_back(child.rect);
    for (int i = 0; i < 2; ++i)
        if (programIcon[i]) {
            const RECT icon{X(i == 0 ? 160 : 380), X(140), X(i == 0 ? 160 : 380) + capture.icon.cx,
                            X(140) + capture.icon.cy};
            icons.push_back(icon);
            int drawn = 0;
            for (int y = icon.top; y < icon.bottom; ++y)
                for (int x = icon.left; x < icon.right; ++x)
                    drawn += capture.At(x, y) != white;
            EXPECT_GE(8 * drawn, capture.icon.cx * capture.icon.cy) << "no program icon at its place on button " << i;
        }
    std::vector<RECT> notPanel = controls;
    notPanel.insert(notPanel.end(), icons.begin(), icons.end());
    std::vector<std::pair<RECT, PanelPixels>> panels;
    for (const ChildWindow& child : capture.children)
        if (child.IsGroupBox()) {
            // What lies in the panel is not its own; the picture, which may reach a
            // rounded pixel into a panel, is painted over by the frame.
            std::vector<RECT> within;
            for (const RECT& r : notPanel)
                if (r.left >= child.rect.left && r.right <= child.rect.right && r.top >= child.rect.top &&
                    r.bottom <= child.rect.bottom)
                    within.push_back(r);
            panels.emplace_back(child.rect, PanelPixels(capture, child, within));
            const PanelPixels& own = panels.back().second;
            EXPECT_LE(own.Thickness(own.FrameRows(), false), 2) << "panel " << child.id << " at its top";
            EXPECT_LE(own.Thickness(own.FrameRows(), true), 2) << "panel " << child.id << " at its bottom";
            EXPECT_LE(own.Thickness(own.FrameColumns(), false), 2) << "panel " << child.id << " at its left";
            EXPECT_LE(own.Thickness(own.FrameColumns(), true), 2) << "panel " << child.id << " at its right";
        }
    Faults stray;
    for (int y = 0; y < ruleRow; ++y)
        for (int x = 0; x < capture.width; ++x) {
            const uint32_t colour = capture.At(x, y);
            if (colour == white ||
                std::any_of(notPanel.begin(), notPanel.end(), [x, y](const RECT& r) { return Inside(r, x, y); }) ||
                std::any_of(panels.begin(), panels.end(),
                            [x, y](const auto& p) { return Inside(p.first, x, y) && p.second.Own(x, y); }))
                continue;
            stray.Add(x, y, colour);
        }
    EXPECT_EQ(0, stray.Count()) << "pixels of the upper area are neither white nor a control's:" << stray.First();

    // The picture at the dialog's scale: its guide lines start at its edges,
    // beside the panels, and run level with the labels.
    const ChildWindow* picture = capture.Child(IDC_MOUSE_PICTURE);
    const ChildWindow* panel[2] = {capture.Child(IDC_BUTTON0_PANEL), capture.Child(IDC_BUTTON1_PANEL)};
    const ChildWindow* label[2] = {capture.Child(IDC_BUTTON0_LABEL), capture.Child(IDC_BUTTON1_LABEL)};
    ASSERT_TRUE(picture && panel[0] && panel[1] && label[0] && label[1])
        << "the picture, a panel or a label is not shown";
    EXPECT_NEAR(panel[0]->rect.right, picture->rect.left, 1) << "the picture does not meet the left panel";
    EXPECT_NEAR(panel[1]->rect.left, picture->rect.right, 1) << "the picture does not meet the right panel";
    for (int i = 0; i < 2; ++i) {
        const std::pair<int, int> rows = GuideRows(capture, picture->rect, i == 0, X(16));
        ASSERT_GE(rows.first, 0) << "no guide line reaches the picture's " << (i == 0 ? "left" : "right") << " edge";
        const double line = (rows.first + rows.second) / 2.0;
        const double labelCentre = (label[i]->rect.top + label[i]->rect.bottom) / 2.0;
        EXPECT_LE(std::abs(line - labelCentre), 1.0)
            << "guide line " << i << " on rows " << rows.first << " to " << rows.second - 1 << ", label " << i
            << " centred on " << labelCentre;
    }
}

// Between the controls a page is one colour.
void ExpectPerylPageLook(const Capture& capture)
{
    std::vector<uint32_t> outside;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x)
            if (std::none_of(capture.children.begin(), capture.children.end(),
                             [x, y](const ChildWindow& c) { return Inside(c.rect, x, y); }))
                outside.push_back(capture.At(x, y));
    ASSERT_FALSE(outside.empty()) << "the controls cover the whole page";
    std::vector<uint32_t> sorted = outside;
    std::sort(sorted.begin(), sorted.end());
    uint32_t page = sorted[0];
    size_t most = 0;
    for (size_t i = 0; i < sorted.size();) {
        const size_t j = std::upper_bound(sorted.begin() + i, sorted.end(), sorted[i]) - sorted.begin();
        if (j - i > most) {
            most = j - i;
            page = sorted[i];
        }
        i = j;
    }
    EXPECT_EQ(outside.size(), most) << outside.size() - most << " pixels between the controls differ from the page's "
                                    << Hex(page);
}

// Reads the probe's description of the window and the pixels it wrote.
bool ReadCapture(const std::string& line, Capture& capture, const std::wstring& pixelFile)
{
    std::istringstream fields(line);
    std::string kind;
    std::getline(fields, kind, '\t');
    if (kind == "icon") {
        fields >> capture.icon.cx >> capture.icon.cy;
    } else if (kind == "child") {
        ChildWindow child{};
        std::string style;
        fields >> child.id >> child.className >> style >> child.rect.left >> child.rect.top >> child.rect.right >>
            child.rect.bottom >> child.lineHeight;
        child.style = std::stoul(style, nullptr, 16);
        capture.children.push_back(child);
    } else if (kind == "pixels") {
        fields >> capture.width >> capture.height;
        const std::string bytes = ReadAll(pixelFile);
        if (bytes.size() != static_cast<size_t>(capture.width) * capture.height * 4)
            capture.width = capture.height = 0;
        else
            capture.pixels.assign(reinterpret_cast<const uint32_t*>(bytes.data()),
                                  reinterpret_cast<const uint32_t*>(bytes.data() + bytes.size()));
    } else {
        return false;
    }
    return true;
}

// Every pair of the tables must be a run of CTest's, or its rows would never be tried.
void ExpectEveryPairRuns()
{
    const std::wstring runs = L" " + Environment(L"FIT_RUNS") + L" ";
    for (const LanguageRow& language : languageRows)
        for (int dpi : dpiRows) {
            const std::wstring pair = std::wstring(language.lang) + L"@" + std::to_wstring(dpi);
            EXPECT_NE(std::wstring::npos, runs.find(L" " + pair + L" "))
                << Narrow(pair) << " is not among the runs (" << Narrow(runs) << ")";
        }
}

TEST(Fit, NothingIsClippedInAnyDialogLanguageOrResolution)
{
    ExpectEveryPairRuns();
    const std::wstring lang = Environment(L"LANG");
    const int dpi = _wtoi(Environment(L"FIT_DPI").c_str());
    const LanguageRow* language = nullptr;
    for (const LanguageRow& row : languageRows)
        if (lang == row.lang)
            language = &row;
    ASSERT_NE(nullptr, language) << "no rows for LANG=" << Narrow(lang) << "; run-fit.sh runs this once per LANG";
    ASSERT_NE(std::end(dpiRows), std::find(std::begin(dpiRows), std::end(dpiRows), dpi))
        << "no rows for FIT_DPI=" << dpi << "; run-fit.sh runs this once per resolution";
    // Else the German rows would measure English.
    ASSERT_EQ(language->shown, GetUserDefaultUILanguage()) << language->what;

    const ScopedTempFolder temp(L"fit-probe");
    const std::wstring out = temp.path() + L"measures.txt";
    SetEnvironmentVariableW(L"FIT_PROBE_OUT", out.c_str());  // the programs inherit it
    const UINT measure = RegisterWindowMessageW(L"TarvixTest-FitProbe-Measure");

    for (const SceneRow& row : sceneRows) {
        const std::string where = Narrow(row.scene) + ", " + language->what + ", " + std::to_string(dpi) + " DPI";
        ROW_TRACE(where);
        DeleteFileW(out.c_str());
        DeleteFileW((out + L".pixels").c_str());
        Scene scene(row.scene);
        ASSERT_NE(nullptr, scene.Window()) << scene.Error();
        HWND measured = Measured(scene.Window(), row.pageControl);
        ASSERT_NE(nullptr, measured) << "the page is not in the host's window";

        const std::wstring doneName = L"TarvixTest-FitProbe-Done-" + std::to_wstring(scene.ProcessId());
        unique_handle done(CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
        ASSERT_TRUE(done);
        ProbeHook hook(measured);
        ASSERT_TRUE(hook.ok()) << "FitProbe.dll could not be hooked into the program";
        ASSERT_TRUE(PostMessageW(measured, measure, 0, 0));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done.get(), probeTimeoutMs))
            << "the probe did not report its measures within " << probeTimeoutMs / 1000 << " s";

        std::istringstream lines(ReadAll(out));
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << "the probe wrote nothing";
        EXPECT_EQ("dpi\t" + std::to_string(dpi), line) << "the program does not run at the resolution of its row";
        size_t measures = 0;
        Capture capture;
        while (std::getline(lines, line)) {
            if (ReadCapture(line, capture, out + L".pixels"))
                continue;
            std::istringstream fields(line);
            std::string kind, id, needed, available, text;
            std::getline(fields, kind, '\t');
            std::getline(fields, id, '\t');
            std::getline(fields, needed, '\t');
            std::getline(fields, available, '\t');
            std::getline(fields, text);
            ++measures;
            EXPECT_LE(std::stoi(needed), std::stoi(available))
                << kind << " " << id << " \"" << text << "\" needs " << needed << " px, has " << available;
        }
        EXPECT_GE(measures, row.fewestMeasures) << "fewer texts measured than the dialog has";
        if (row.look != Look::None) {
            ASSERT_FALSE(capture.pixels.empty()) << "the probe read no pixels";
            if (row.look == Look::MainDialog)
                ExpectMainDialogLook(capture, dpi, row.programIcon);
            else
                ExpectPerylPageLook(capture);
        }
    }
    DeleteFileW(out.c_str());
    DeleteFileW((out + L".pixels").c_str());
}

}  // namespace
