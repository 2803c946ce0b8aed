// Peryl's two readers of the machine, the detection of video applications and
// the utility library's capability check, over thousands of generated registry
// states and library answers, each checked against the rules as written out
// here on their own. Seeded and bounded: PERYL_SWEEP_SEED repeats a run, and
// every case that fails is printed.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "Guards.h"
#include "Handles.h"
#include "VexaUtilsWatch.h"
#include "detect/MonAppList.h"
#include "device/UtilityLibrary.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace {

constexpr unsigned defaultSeed = 0x5EED2211;
constexpr int detectionCases = 2000;
constexpr int capabilityCases = 1500;
constexpr int casesPrintedInFull = 5;
// The host's own mode, which every call must leave as it found it.
constexpr DWORD hostErrorMode = SEM_NOGPFAULTERRORBOX;

unsigned SweepSeed()
{
    wchar_t text[32];
    const DWORD length = GetEnvironmentVariableW(L"PERYL_SWEEP_SEED", text, 32);
    if (length == 0 || length >= 32)
        return defaultSeed;
    return static_cast<unsigned>(std::wcstoul(text, nullptr, 0));
}

std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}

// A crash says which case was running before the program goes.
std::string runningCase;

LONG WINAPI PrintRunningCase(EXCEPTION_POINTERS*)
{
    std::fprintf(stderr, "crashed in %s\n", runningCase.c_str());
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

class CrashReport
{
public:
    CrashReport() : previous_(SetUnhandledExceptionFilter(&PrintRunningCase)) {}
    ~CrashReport()
    {
        SetUnhandledExceptionFilter(previous_);
        runningCase.clear();
    }
    CrashReport(const CrashReport&) = delete;
    CrashReport& operator=(const CrashReport&) = delete;

private:
    LPTOP_LEVEL_EXCEPTION_FILTER previous_;
};

// Counts the failed cases and prints the first few in full.
class Failures
{
public:
    explicit Failures(unsigned seed) : seed_(seed) {}
    void Report(const std::string& what, const std::string& problems)
    {
        if (++count_ <= casesPrintedInFull)
            ADD_FAILURE() << what << "\n" << problems;
    }
    // `found` says how many cases the rules answer with something, so that a
    // sweep that never reaches a product shows.
    void Summary(const char* sweep, int cases, const std::string& found) const
    {
        std::printf("%s: %d cases tried (%s), seed %s, %d failed\n", sweep, cases, found.c_str(), Hex(seed_).c_str(),
                    count_);
        std::fflush(stdout);
        EXPECT_EQ(0, count_) << sweep << ": failed cases of seed " << Hex(seed_) << " (the first "
                             << casesPrintedInFull << " are printed above)";
    }

private:
    unsigned seed_;
    int count_ = 0;
};

// A registry value exactly as stored: type and bytes, or none.
struct StoredValue
{
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    const char* shape = "absent";
};

std::string Describe(const StoredValue& value)
{
    if (!value.present)
        return "absent";
    return "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) + " bytes, " + value.shape;
}

// Into a key the case has just made, which holds no values yet.
bool Store(ScopedRegistryKey& key, const wchar_t* name, const StoredValue& value)
{
    return !value.present || key.SetRaw(name, value.type, value.data.empty() ? nullptr : value.data.data(),
                                        static_cast<DWORD>(value.data.size()));
}

// Whether a value still holds what was stored: the readers never write.
bool StillStored(HKEY key, const wchar_t* name, const StoredValue& value)
{
    DWORD type = REG_NONE, size = 0;
    const LONG found = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (!value.present)
        return found == ERROR_FILE_NOT_FOUND;
    if (found != ERROR_SUCCESS || type != value.type || size != value.data.size())
        return false;
    std::vector<BYTE> data(size + 1);
    return RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS &&
           std::memcmp(data.data(), value.data.data(), value.data.size()) == 0;
}

const DWORD otherTypes[] = {REG_NONE,          REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ,
                            REG_RESOURCE_LIST, REG_QWORD,  0x7FFF};

// A path text stored in one of many ways, most of which break a rule.
StoredValue EncodePath(const std::wstring& text, std::mt19937& random)
{
    StoredValue value;
    value.present = true;
    const unsigned kind = random() % 10;
    value.type = kind < 5 ? REG_SZ : kind < 7 ? REG_EXPAND_SZ : otherTypes[random() % std::size(otherTypes)];
    const BYTE* start = reinterpret_cast<const BYTE*>(text.c_str());
    std::vector<BYTE>& data = value.data;
    data.assign(start, start + (text.size() + 1) * sizeof(wchar_t));  // with its NUL
    const auto appendUnit = [&data](wchar_t unit) {
        data.push_back(static_cast<BYTE>(unit & 0xFF));
        data.push_back(static_cast<BYTE>(unit >> 8));
    };
    switch (random() % 10) {
    case 0:
    case 1:
    case 2:
        value.shape = "terminated";
        break;
    case 3:
        data.resize(data.size() - sizeof(wchar_t));
        value.shape = "not terminated";
        break;
    case 4:
        data.push_back(0x41);
        value.shape = "an odd byte behind the NUL";
        break;
    case 5:
        data.pop_back();
        value.shape = "cut inside the NUL";
        break;
    case 6:
        data.resize(MAX_PATH * sizeof(wchar_t), 0);
        value.shape = "NULs up to 520 bytes";
        break;
    case 7:
        data.pop_back();
        data.pop_back();
        for (const size_t length = MAX_PATH * sizeof(wchar_t) + 2 * (random() % 400); data.size() < length;)
            appendUnit(L'A');
        appendUnit(L'\0');
        value.shape = "terminated beyond 520 bytes";
        break;
    case 8:
        for (const wchar_t unit : std::wstring(L"junk"))
            appendUnit(unit);
        appendUnit(L'\0');
        value.shape = "text behind a NUL";
        break;
    default:
        data.clear();
        value.shape = "no bytes";
        break;
    }
    return value;
}

// The rules for a path value, stated here apart from the product: a string
// type, an even number of bytes from 2 to 520, the last unit a NUL; the text
// ends at its first NUL. False when the value breaks one.
bool PathValueText(const StoredValue& value, std::wstring& text)
{
    if (!value.present || (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return false;
    const size_t bytes = value.data.size();
    if (bytes < 2 || bytes % 2 != 0 || bytes > MAX_PATH * sizeof(wchar_t))
        return false;
    std::vector<wchar_t> units(bytes / 2);
    std::memcpy(units.data(), value.data.data(), bytes);
    if (units.back() != L'\0')
        return false;
    text = units.data();
    return true;
}

// ---- detection -------------------------------------------------------------

// A text a "Path" or "AppName" value may hold and what the file system makes of
// it, with the sweep's folder as the current one (checked before the sweep).
struct PathText
{
    std::wstring text;
    bool full;             // a full path by the rules
    bool behindSeparator;  // text + "\WinDVD.exe" names something
    bool joined;           // text + "WinDVD.exe" names something
    bool itself;           // text names something
};

std::vector<PathText> DetectionTexts(const std::wstring& folder)
{
    std::wstring forward = folder;
    for (wchar_t& ch : forward)
        ch = ch == L'\\' ? L'/' : ch;
    const std::wstring rooted = folder.substr(2);
    return {
        {folder + L"\\A", true, true, false, true},
        {folder + L"\\B\\", true, true, true, true},
        {folder + L"\\C", true, false, true, false},
        {folder + L"\\DVDBD8\\", true, true, true, true},
        {folder + L"\\DVDBD8", true, true, false, true},
        {folder + L"\\app.exe", true, false, false, true},
        {folder + L"\\missing", true, false, false, false},
        {forward + L"/A", true, true, false, true},
        {L"\\\\?\\" + folder + L"\\A", true, true, false, true},
        {L"\\\\nowhere\\share\\A", true, false, false, false},
        // Resolved against the current folder (the sweep's) they would name its files.
        {L"A", false, true, false, true},
        {L".\\B\\", false, true, true, true},
        {L"C", false, false, true, false},
        {L"app.exe", false, false, false, true},
        {rooted + L"\\A", false, true, false, true},
        {folder.substr(0, 2) + L"DVDBD8\\", false, true, true, true},
        {L"", false, false, false, false},
    };
}

bool Names(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct ProductKey
{
    const wchar_t* path;  // under HKEY_LOCAL_MACHINE
    REGSAM view;
    const wchar_t* readValue;   // what its rule reads, or null
    const wchar_t* otherValue;  // a value its rule must not read
};

const ProductKey productKeys[] = {
    {L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe", 0, nullptr, L"Path"},
    {L"Software\\Classes\\MediaCenter.DVR", KEY_WOW64_64KEY, nullptr, L"Path"},
    {L"Software\\Classes\\Applications\\wmplayer.exe", 0, nullptr, L"AppName"},
    {L"Software\\InterVideo\\WinDVD4", 0, L"Path", L"AppName"},
    {L"Software\\InterVideo\\DVD7", 0, L"Path", L"AppName"},
    {L"Software\\InterVideo\\DVD8", 0, L"Path", L"AppName"},
    {L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinDVDBD.exe", 0, nullptr, L"Path"},
    {L"Software\\InterVideo\\dvdex", 0, L"Path", L"AppName"},
    {L"Software\\Kelvor Corporation\\Cadence Player", 0, L"AppName", L"Path"},
    {L"Software\\Kelvor Corporation\\Marlow Digital", 0, nullptr, L"AppName"},
    {L"Software\\Kelvor Corporation\\Ardent Media plus", 0, nullptr, L"Path"},
};
constexpr size_t productCount = std::size(productKeys);

// Parents of the product keys, made (and removed again) by the sweep where missing.
const wchar_t* const productParents[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    L"Software\\Classes\\Applications",
    L"Software\\InterVideo",
    L"Software\\Kelvor Corporation",
};

const wchar_t sharedInfoKey[] = L"Software\\Kelvor Corporation\\Shared Info";

struct DetectionCase
{
    bool present[productCount] = {};
    size_t text[productCount] = {};  // index into the texts, for the value the rule reads
    StoredValue read[productCount];
    StoredValue other[productCount];
    StoredValue location;
};

DetectionCase MakeDetectionCase(const std::vector<PathText>& texts, std::mt19937& random)
{
    DetectionCase c;
    for (size_t k = 0; k < productCount; ++k) {
        c.present[k] = random() % 2 == 0;
        if (!c.present[k])
            continue;
        c.text[k] = random() % texts.size();
        if (productKeys[k].readValue != nullptr && random() % 8 != 0)
            c.read[k] = EncodePath(texts[c.text[k]].text, random);
        if (random() % 5 == 0)
            c.other[k] = EncodePath(texts[random() % texts.size()].text, random);
    }
    if (random() % 5 != 0) {
        StoredValue& location = c.location;
        location.present = true;
        const unsigned kind = random() % 10;
        location.type = kind < 6 ? REG_DWORD : otherTypes[random() % std::size(otherTypes)];
        const unsigned pick = random() % 5;
        const DWORD number = pick < 2 ? 4309 : pick == 2 ? 4316 : static_cast<DWORD>(random());
        const size_t sizes[] = {4, 4, 4, 4, 4, 0, 2, 3, 8};
        const size_t size = sizes[random() % std::size(sizes)];
        location.data.assign(size, 0);
        std::memcpy(location.data.data(), &number, size < 4 ? size : 4);
        location.shape = size == 4 ? (number == 4309 ? "4309" : "four bytes") : "a number of another size";
    }
    return c;
}

std::string Describe(const DetectionCase& c, const std::vector<PathText>& texts)
{
    std::string text = "dwLocation " + Describe(c.location);
    for (size_t k = 0; k < productCount; ++k) {
        if (!c.present[k])
            continue;
        text += "\n  " + Narrow(productKeys[k].path);
        if (productKeys[k].readValue != nullptr)
            text += ": " + Narrow(productKeys[k].readValue) + " \"" + Narrow(texts[c.text[k]].text) + "\" " +
                    Describe(c.read[k]);
        if (c.other[k].present)
            text += "; " + Narrow(productKeys[k].otherValue) + " " + Describe(c.other[k]);
    }
    return text;
}

// The rules of detection, stated here apart from the product.
std::vector<std::wstring> ExpectedNames(const DetectionCase& c, const std::vector<PathText>& texts, DWORD& location,
                                        int& throughPaths, std::string& problems)
{
    location = 4316;
    if (c.location.present && c.location.type == REG_DWORD && c.location.data.size() == 4)
        std::memcpy(&location, c.location.data.data(), 4);

    // The text entry a key's value gives, when the value keeps the rules and the text is a full path.
    const auto fullText = [&](size_t k) -> const PathText* {
        std::wstring read;
        if (!c.present[k] || !PathValueText(c.read[k], read))
            return nullptr;
        const PathText& entry = texts[c.text[k]];
        if (read != entry.text)
            problems += "the sweep stored \"" + Narrow(read) + "\" for \"" + Narrow(entry.text) + "\"\n";
        return entry.full ? &entry : nullptr;
    };
    const auto behindSeparator = [&](size_t k) {
        const PathText* entry = fullText(k);
        const bool found = entry != nullptr && entry->behindSeparator;
        throughPaths += found ? 1 : 0;
        return found;
    };

    std::vector<std::wstring> names;
    if (c.present[0] && location == 4309)
        names.push_back(L"Screenlift pour Ardent");
    if (c.present[1])
        names.push_back(L"Media Center");
    if (c.present[2])
        names.push_back(L"Windows Media Player");
    if (behindSeparator(3))
        names.push_back(L"InterVideo WinDVD 5");
    if (behindSeparator(4))
        names.push_back(L"InterVideo WinDVD 7");
    if (const PathText* dvd8 = fullText(5); dvd8 != nullptr && dvd8->joined) {
        ++throughPaths;
        names.push_back((dvd8->text + L"WinDVD.exe").find(L"DVDBD8") != std::wstring::npos
                            ? L"InterVideo WinDVD BD for Ardent"
                            : L"InterVideo WinDVD for Ardent");
    }
    if (c.present[6] || behindSeparator(7))
        names.push_back(L"InterVideo WinDVD for Ardent");
    if (const PathText* app = fullText(8); app != nullptr && app->itself) {
        ++throughPaths;
        names.push_back(L"Cadence Player");
    }
    if (c.present[9])
        names.push_back(L"Marlow Digital");
    if (c.present[10])
        names.push_back(L"Ardent Media plus");
    return names;
}

std::string Listed(const std::vector<std::wstring>& names)
{
    std::string text = "{";
    for (const std::wstring& name : names)
        text += (text.size() > 1 ? ", " : "") + Narrow(name);
    return text + "}";
}

// ---- capability check ------------------------------------------------------

enum class Library
{
    None,      // nothing loads
    Complete,  // loads with every name the binding wants
    Unbound,   // loads, but lacks a name
};

// A text the library value may hold; loads in the stand-in's counters when
// it names a build of the stand-in.
struct LibraryText
{
    std::wstring text;
    bool full;
    Library library;  // what loading the text gives (for a text that is no full path: a plain load)
    bool standIn;
};

std::vector<LibraryText> LibraryTexts()
{
    const std::wstring bin = BinFile(L"");  // with its separator
    std::wstring forward = bin;
    for (wchar_t& ch : forward)
        ch = ch == L'\\' ? L'/' : ch;
    std::vector<LibraryText> texts = {
        {bin + L"VexaUtils.dll", true, Library::Complete, true},
        {bin + L"apart\\VexaUtilsApart.dll", true, Library::Complete, true},
        {forward + L"VexaUtils.dll", true, Library::Complete, true},
        {L"\\\\?\\" + bin + L"VexaUtils.dll", true, Library::Complete, true},
        {bin + L"VexaUtilsNoVideo.dll", true, Library::Unbound, true},
        {bin + L"en-US\\Peryl.dll.mui", true, Library::Unbound, false},
        {bin + L"NoSuchLibrary.dll", true, Library::None, false},
        {bin + L"..\\stand-ins.reg", true, Library::None, false},
        {bin, true, Library::None, false},
        {L"\\\\nowhere\\share\\VexaUtils.dll", true, Library::None, false},
        // Found through the search path or the current folder (bin) they would load.
        {L"VexaUtils.dll", false, Library::Complete, true},
        {L".\\VexaUtils.dll", false, Library::Complete, true},
        {bin.substr(2) + L"VexaUtils.dll", false, Library::Complete, true},
        {bin.substr(0, 2) + L"VexaUtils.dll", false, Library::Complete, true},
        {L"", false, Library::None, false},
    };
    for (const char* missing : utilityExports)
        texts.push_back({bin + L"VexaUtilsWithout" + std::wstring(missing, missing + std::strlen(missing)) + L".dll",
                         true, Library::Unbound, true});
    return texts;
}

// What loading the text gives in this process, the way the text is meant.
Library Load(const LibraryText& text)
{
    unique_hmodule module(text.full ? LoadLibraryExW(text.text.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                                    : LoadLibraryW(text.text.c_str()));
    if (!module)
        return Library::None;
    for (const char* name : utilityExports) {
        if (GetProcAddress(module.get(), name) == nullptr)
            return Library::Unbound;
    }
    return Library::Complete;
}

struct CapabilityCase
{
    size_t text = 0;
    StoredValue value;
    DWORD answer = 0;
    bool supported = true;
    DWORD mask = 1;
};

CapabilityCase MakeCapabilityCase(const std::vector<LibraryText>& texts, std::mt19937& random)
{
    CapabilityCase c;
    // The complete library more often than the rest, so that answers are tried too.
    c.text = random() % 3 == 0 ? 0 : random() % texts.size();
    if (random() % 12 != 0)
        c.value = EncodePath(texts[c.text].text, random);
    const DWORD answers[] = {0, 1, 2, 3, 0xFFFFFFFC, 0xFFFFFFFF, static_cast<DWORD>(random())};
    c.answer = answers[random() % std::size(answers)];
    c.supported = random() % 5 != 0;
    c.mask = random() % 2 == 0 ? logoLampCapability : lampBrightnessCapability;
    return c;
}

std::string Describe(const CapabilityCase& c, const std::vector<LibraryText>& texts)
{
    return "library value \"" + Narrow(texts[c.text].text) + "\" " + Describe(c.value) + "; answer " + Hex(c.answer) +
           (c.supported ? "" : ", function not supported") + "; mask " + std::to_string(c.mask);
}

void Check(std::string& problems, bool holds, const std::string& what)
{
    if (!holds)
        problems += what + "\n";
}

}  // namespace

TEST(PerylInputSweep, GeneratedRegistryStatesAndLibraryAnswers)
{
    const unsigned seed = SweepSeed();
    std::mt19937 random(seed);
    const CrashReport crashReport;
    const thread_error_mode host(hostErrorMode);
    ASSERT_TRUE(host.ok());

    // Detection, with the sweep's folder as the current one.
    {
        ScopedTempFolder temp(L"peryl-sweep");
        const std::wstring folder = temp.path().substr(0, temp.path().size() - 1);
        for (const wchar_t* file :
             {L"A\\WinDVD.exe", L"B\\WinDVD.exe", L"CWinDVD.exe", L"DVDBD8\\WinDVD.exe", L"app.exe"})
            temp.MakeFile(file);
        ScopedCurrentFolder current(folder);
        ASSERT_TRUE(current.ok());
        const std::vector<PathText> texts = DetectionTexts(folder);
        for (const PathText& t : texts) {
            const std::string what = "\"" + Narrow(t.text) + "\": ";
            ASSERT_EQ(t.behindSeparator, Names(t.text + L"\\WinDVD.exe")) << what << "with \\WinDVD.exe";
            ASSERT_EQ(t.joined, Names(t.text + L"WinDVD.exe")) << what << "with WinDVD.exe";
            ASSERT_EQ(t.itself, Names(t.text)) << what << "itself";
        }

        for (const ProductKey& key : productKeys)
            ASSERT_FALSE(KeyExists(key.path, key.view)) << Narrow(key.path) << " must be absent for the sweep";
        std::vector<std::unique_ptr<ScopedRegistryKey>> parents;
        for (const wchar_t* parent : productParents) {
            parents.push_back(std::make_unique<ScopedRegistryKey>(parent));
            ASSERT_TRUE(parents.back()->ok());
        }
        ScopedRegistryValue location(sharedInfoKey, L"dwLocation");

        CMonAppList detector;  // one for all cases: no case may inherit anything from the one before
        Failures failures(seed);
        int casesWithNames = 0, namesThroughPaths = 0;
        for (int index = 0; index < detectionCases; ++index) {
            const DetectionCase c = MakeDetectionCase(texts, random);
            std::string problems;
            DWORD expectedLocation = 0;
            const std::vector<std::wstring> expected = ExpectedNames(c, texts, expectedLocation, namesThroughPaths,
                                                                     problems);
            casesWithNames += expected.empty() ? 0 : 1;
            runningCase = "detection case " + std::to_string(index) + " of seed " + Hex(seed) + ": " +
                          Describe(c, texts);

            std::unique_ptr<ScopedRegistryKey> keys[productCount];
            bool stored = c.location.present
                              ? location.SetRaw(c.location.type,
                                                c.location.data.empty() ? nullptr : c.location.data.data(),
                                                static_cast<DWORD>(c.location.data.size()))
                              : location.Remove();
            for (size_t k = 0; k < productCount; ++k) {
                if (!c.present[k])
                    continue;
                keys[k] = std::make_unique<ScopedRegistryKey>(productKeys[k].path, productKeys[k].view);
                stored = stored && keys[k]->ok();
                if (stored && productKeys[k].readValue != nullptr)
                    stored = Store(*keys[k], productKeys[k].readValue, c.read[k]);
                if (stored)
                    stored = Store(*keys[k], productKeys[k].otherValue, c.other[k]);
            }
            ASSERT_TRUE(stored) << runningCase;

            CArray<CString> names;
            names.Add(L"left from before");
            try {
                detector.Detect(names);
            } catch (...) {
                problems += "an exception left Detect\n";
            }
            std::vector<std::wstring> found;
            for (INT_PTR i = 0; i < names.GetSize(); ++i)
                found.emplace_back(names[i].GetString());
            Check(problems, found == expected, "found " + Listed(found) + ", the rules say " + Listed(expected));
            Check(problems, detector.GetLocation() == expectedLocation,
                  "location " + std::to_string(detector.GetLocation()) + ", the rules say " +
                      std::to_string(expectedLocation));
            Check(problems, GetThreadErrorMode() == hostErrorMode, "the thread's error mode was not put back");
            for (size_t k = 0; k < productCount; ++k) {
                if (keys[k] == nullptr)
                    continue;
                if (productKeys[k].readValue != nullptr)
                    Check(problems, StillStored(keys[k]->get(), productKeys[k].readValue, c.read[k]),
                          Narrow(productKeys[k].path) + " changed");
                Check(problems, StillStored(keys[k]->get(), productKeys[k].otherValue, c.other[k]),
                      Narrow(productKeys[k].path) + " changed");
            }
            if (!problems.empty())
                failures.Report(runningCase, problems);
            for (size_t k = productCount; k-- > 0;)
                keys[k].reset();
        }
        failures.Summary("detection", detectionCases,
                         std::to_string(casesWithNames) + " with names, " + std::to_string(namesThroughPaths) +
                             " names through path values");
    }

    // The capability check, with the test program's folder as the current one.
    {
        VexaUtilsWatch watch;
        ASSERT_TRUE(watch.ok());
        ScopedCurrentFolder current(BinFile(L""));
        ASSERT_TRUE(current.ok());
        const std::vector<LibraryText> texts = LibraryTexts();
        for (const LibraryText& t : texts)
            ASSERT_EQ(static_cast<int>(t.library), static_cast<int>(Load(t))) << "\"" << Narrow(t.text) << "\"";
        ASSERT_FALSE(VexaUtilsWatch::Loaded());
        ASSERT_EQ(0, GetUtilityUsers());

        Failures failures(seed);
        int supportedCases = 0, loadingCases = 0;
        for (int index = 0; index < capabilityCases; ++index) {
            const CapabilityCase c = MakeCapabilityCase(texts, random);
            runningCase = "capability case " + std::to_string(index) + " of seed " + Hex(seed) + ": " +
                          Describe(c, texts);
            ScopedRegistryValue& value = watch.LibraryValue();
            ASSERT_TRUE(c.value.present
                            ? value.SetRaw(c.value.type, c.value.data.empty() ? nullptr : c.value.data.data(),
                                           static_cast<DWORD>(c.value.data.size()))
                            : value.Remove())
                << runningCase;
            watch.SetCapability(c.answer);
            watch.SetSupported(c.supported);
            watch.ResetCounters();

            // The rules: only a full path that keeps the rules is loaded, and the
            // answer is true only from a complete library whose answer has the bit.
            const LibraryText& text = texts[c.text];
            std::wstring read;
            const bool loads = PathValueText(c.value, read) && read == text.text && text.full &&
                               text.library != Library::None;
            const bool bound = loads && text.library == Library::Complete;
            const bool expected = bound && c.supported && (c.answer & c.mask) != 0;
            supportedCases += expected ? 1 : 0;
            loadingCases += loads ? 1 : 0;

            std::string problems;
            bool answer = false;
            try {
                answer = QueryCapability(c.mask);
            } catch (...) {
                problems += "an exception left the check\n";
            }
            const VexaUtilsCounters& seen = watch.counters();
            Check(problems, answer == expected,
                  std::string("answered ") + (answer ? "true" : "false") + ", the rules say " +
                      (expected ? "true" : "false"));
            const LONG standInLoads = loads && text.standIn ? 1 : 0;
            Check(problems, seen.loads == standInLoads,
                  "the stand-in was loaded " + std::to_string(seen.loads) + " times, the rules say " +
                      std::to_string(standInLoads));
            Check(problems, seen.unloads == seen.loads && seen.references == 0, "the library was not released");
            if (seen.loads > 0)
                Check(problems, seen.errorModeAtLoad == static_cast<LONG>(noErrorBoxes),
                      "loaded with error mode " + Hex(static_cast<unsigned>(seen.errorModeAtLoad)));
            Check(problems,
                  seen.addRef == (bound && text.standIn ? 1 : 0) && seen.removeRef == seen.addRef &&
                      seen.vuDetach == seen.addRef,
                  "AddRef " + std::to_string(seen.addRef) + ", RemoveRef " + std::to_string(seen.removeRef) +
                      ", VuDetach " + std::to_string(seen.vuDetach));
            Check(problems, seen.callDriver == (bound && c.supported && text.standIn ? 1 : 0),
                  "the answer was asked for " + std::to_string(seen.callDriver) + " times");
            Check(problems, seen.badRequests == 0, "malformed requests");
            Check(problems, GetUtilityUsers() == 0, "checks still counted as running");
            Check(problems, GetThreadErrorMode() == hostErrorMode, "the thread's error mode was not put back");
            HKEY sharedDlls = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sharedDllsKey, 0, KEY_READ, &sharedDlls) == ERROR_SUCCESS) {
                Check(problems, StillStored(sharedDlls, L"VexaUtils.dll", c.value), "the library value changed");
                RegCloseKey(sharedDlls);
            }
            if (!problems.empty())
                failures.Report(runningCase, problems);
        }
        failures.Summary("capability check", capabilityCases,
                         std::to_string(loadingCases) + " loading a library, " + std::to_string(supportedCases) +
                             " supported");
    }
}
