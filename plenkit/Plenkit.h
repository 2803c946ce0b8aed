#pragma once
// Plenkit: the settings host framework that plug-ins link against.
//
// A plug-in exports global_newClassDesc, which hands the host one ClassDesc.
// The descriptor adds the plug-in's pages (PluginClass); each page registers
// the items (SettingItem) bound to controls of its dialog, and an item may
// carry an option (SettingOption) that reacts to the item's value.
//
// Ownership: everything handed over (pages to the descriptor, items to a page,
// options to an item) belongs to the receiver from then on and is deleted by
// the host through the virtual destructors. Plug-ins never delete it.
//
// A page's three resource ids name, in the plug-in's language resource, the
// page's title string, its description string and its dialog template.
// Control positions are in pixels at 96 DPI; the host scales them to the screen.
#include <windows.h>
#include <oleauto.h>
#include "CArray.h"
#include "CString.h"

#ifdef PLENKIT_BUILD
#define PLENKIT_API __declspec(dllexport)
#else
#define PLENKIT_API __declspec(dllimport)
#endif

class PluginClass;
class SettingItem;
class SettingOption;

// What an option is told. Every answer is the option's own; the host ignores them.
class PLENKIT_API SettingOption
{
public:
    SettingOption();
    virtual ~SettingOption();
    // The item's value changed (before ApplyValue).
    virtual LONG OnSettingChange(const VARIANT& value);
    // The page was initialised; value is the item's starting value.
    virtual LONG OnSetStart(const VARIANT& value);
    // The user chose a value; for a radio group a VT_I4 index.
    virtual LONG ApplyValue(const VARIANT& value);
    // The page holding the option was shown (argument TRUE) or hidden (FALSE).
    virtual LONG OptionHookA(LONG_PTR argument);
    // The host is about to delete the page (argument 0).
    virtual LONG OptionHookB(LONG_PTR argument);

    SettingOption(const SettingOption&) = delete;
    SettingOption& operator=(const SettingOption&) = delete;
};

// A group of controls with consecutive ids on one page.
class PLENKIT_API Item
{
public:
    // tag1 and tag2 are the plug-in's own numbers; the host keeps them.
    Item(int tag1, int tag2, int firstControlId, int controlCount);
    virtual ~Item();

    int GetTag1() const noexcept;
    int GetTag2() const noexcept;
    int GetFirstControlId() const noexcept;
    int GetControlCount() const noexcept;
    bool OwnsControl(int controlId) const noexcept;

    // Host side: the page window whose controls the item works on.
    void Attach(HWND page) noexcept;
    HWND GetPage() const noexcept;
    // Control `index` of the group (0 = the first id); null when not attached.
    HWND GetControl(UINT index) const noexcept;

    // Sends a message to control `index` and answers what it answers; 0 when
    // the item is not attached or the control is missing.
    LONG_PTR SendMsg(UINT index, UINT msg, UINT_PTR wParam, LONG_PTR lParam);

    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

private:
    int tag1_;
    int tag2_;
    int firstControlId_;
    int controlCount_;
    HWND page_;
};

// What a SettingItem's value is (its kind).
constexpr UINT itemKindNoValue = 0;
constexpr UINT itemKindIndex = 1;

class PLENKIT_API SettingItem : public Item
{
public:
    // kind: itemKindNoValue or itemKindIndex.
    SettingItem(int tag1, int tag2, int firstControlId, int controlCount, UINT kind, SettingOption* option);
    ~SettingItem() override;  // deletes the option

    // Answers the kind given at construction.
    virtual UINT InitType();
    // Called once the item is attached to its page's window.
    virtual LONG OnInitItem();
    // The item's value; VT_EMPTY until one is set or chosen.
    virtual VARIANT GetItem();
    // Sets the value without telling the option.
    virtual LONG SetItem(const VARIANT& value);
    // WM_COMMAND from one of the item's controls; nonzero when handled.
    virtual LONG OnCommand(UINT controlId, UINT notifyCode);
    // Other messages from the item's controls (WM_NOTIFY); the default does nothing.
    virtual LRESULT DefWindowProcW(UINT msg, WPARAM wParam, LPARAM lParam);
    // The user changed the value: tells the option and applies it.
    virtual LONG OnSettingChange();

    UINT GetKind() const noexcept;
    SettingOption* GetOption() const noexcept;
    bool IsListBox() const noexcept;

protected:
    enum class Shape
    {
        Plain,
        ListBox,
        RadioButtons
    };
    void SetShape(Shape shape) noexcept;
    // The stored value (owned by the item).
    VARIANT& Value() noexcept;

private:
    UINT kind_;
    SettingOption* option_;
    Shape shape_;
    VARIANT value_;
};

// A list-view control with columns. The host calls FillList after OnInitItem.
class PLENKIT_API CListBoxItem : public SettingItem
{
public:
    CListBoxItem(int tag1, int tag2, int controlId, UINT kind, SettingOption* option);
    ~CListBoxItem() override;

    // The base list has no rows of its own: derived lists keep and show their strings.
    virtual void SetStrings(const CArray<CString>& strings);
    virtual LONG FillList();
};

// Radio buttons with ids firstId .. firstId + count - 1; the value is the index
// of the chosen button (VT_I4).
class PLENKIT_API CRadioButtonItem : public SettingItem
{
public:
    CRadioButtonItem(int tag1, int tag2, int firstControlId, int count, UINT kind, SettingOption* option);
    ~CRadioButtonItem() override;

    LONG OnInitItem() override;
    LONG SetItem(const VARIANT& value) override;
    LONG OnCommand(UINT controlId, UINT notifyCode) override;

private:
    void CheckButton(LONG index);
};

// One settings page of a plug-in.
class PLENKIT_API PluginClass
{
public:
    struct ControlPos
    {
        UINT id, x, y, cx, cy;
    };

    PluginClass(UINT titleId, UINT descriptionId, UINT dialogId, const CString& identity);
    virtual ~PluginClass();  // deletes the registered items

    // Positions controls and registers items; called once, after the page's window exists.
    virtual LONG InitPage();
    // Sees every message of the page's window before the host handles it.
    virtual LRESULT PageProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Whether the host shows the page at all.
    virtual bool IsPageSupported();

    void SetCategory(UINT category) noexcept;
    UINT GetCategory() const noexcept;
    UINT GetTitleId() const noexcept;
    UINT GetDescriptionId() const noexcept;
    UINT GetDialogId() const noexcept;
    const CString& GetIdentity() const noexcept;

    INT_PTR GetItemCount() const noexcept;
    SettingItem* GetItemAt(INT_PTR index) const;
    // The registered item that owns the control, or null.
    SettingItem* FindItem(int controlId) const noexcept;

    // Host side: the page's window; positions set before it existed are applied now.
    void AttachWindow(HWND page);
    HWND GetWindow() const noexcept;
    // Every SetControlPos so far, in call order.
    const CArray<ControlPos>& GetControlPositions() const noexcept;

    PluginClass(const PluginClass&) = delete;
    PluginClass& operator=(const PluginClass&) = delete;

protected:
    // Places control `id` (96-DPI pixels). Nonzero when the control was moved now;
    // 0 when there is no such control or the window does not exist yet (then the
    // position is applied when it does).
    LONG SetControlPos(UINT id, UINT x, UINT y, UINT cx, UINT cy);
    // Takes ownership of the item; registration order is kept. Null is ignored.
    void RegisterItem(SettingItem* item);

private:
    bool MoveControl(const ControlPos& pos) const;

    UINT titleId_;
    UINT descriptionId_;
    UINT dialogId_;
    UINT category_;
    CString identity_;
    HWND window_;
    CArray<ControlPos> positions_;
    CArray<SettingItem*> items_;
};

// The plug-in's list of pages.
class PLENKIT_API ClassDesc
{
public:
    ClassDesc();
    virtual ~ClassDesc();
    virtual void AddPluginClasses() = 0;

    // Pages added and not yet taken.
    INT_PTR GetClassCount() const noexcept;
    PluginClass* GetClass(INT_PTR index) const;
    // Hands every page added so far to the caller, which owns them from then on.
    CArray<PluginClass*> TakeClasses();

    ClassDesc(const ClassDesc&) = delete;
    ClassDesc& operator=(const ClassDesc&) = delete;

protected:
    // Hands a page to the host. Null is ignored.
    void AddClass(PluginClass* page);

private:
    CArray<PluginClass*> classes_;
};

// Scales a 96-DPI length to the screen.
PLENKIT_API int PlenkitScale(UINT value, bool vertical);

// The plug-in's exports, looked up by name.
extern "C" {
typedef ClassDesc*(__cdecl* PlenkitNewClassDescProc)();
typedef void(__cdecl* PlenkitDelClassDescProc)();
}
#define PLENKIT_NEW_CLASS_DESC "global_newClassDesc"
#define PLENKIT_DEL_CLASS_DESC "global_delClassDesc"
