#pragma once
// Root of the window classes and the shape of their message maps.
//
// A message map is a table of entries, each naming a message (or a range of
// them), for WM_COMMAND and WM_NOTIFY also a notification code and a control-id
// range, and a thunk that calls the handler. Each class's map points to its
// base class's map; a message that no map handles goes to default processing.
// Entries are made with the Map* functions of MessageMap.h.
#include <windows.h>
#include <cstddef>

class CCmdTarget;

using MessageThunk = LRESULT (*)(CCmdTarget& target, UINT message, WPARAM wParam, LPARAM lParam);

enum class MessageMatch : UINT
{
    Message,  // the message (or message range) alone
    Command,  // WM_COMMAND: also the notification code and the control id
    Notify,   // WM_NOTIFY: also NMHDR::code and NMHDR::idFrom
};

struct MessageMapEntry
{
    UINT firstMessage;
    UINT lastMessage;
    MessageMatch match;
    UINT code;
    UINT firstId;
    UINT lastId;
    const UINT* registeredMessage;  // where a registered message keeps its number; null otherwise
    MessageThunk thunk;             // null: passed on to default processing unchanged
};

struct MessageMap
{
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N])
{
    return MessageMap{base, entries, N};
}

class CObject
{
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};

class CCmdTarget : public CObject
{
public:
    // The entry that handles a message, searching this class's map, then its
    // bases'. Null when none does, or when the first match passes the message on.
    const MessageMapEntry* FindMessageEntry(UINT message, WPARAM wParam, LPARAM lParam) const;

protected:
    static const MessageMap messageMap;
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }
};
