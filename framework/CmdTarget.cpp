#include "CmdTarget.h"
#include <commctrl.h>

const MessageMap CCmdTarget::messageMap{nullptr, nullptr, 0};

namespace {

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (entry.registeredMessage != nullptr) {
        // A message that could not be registered (number 0) matches nothing.
        if (*entry.registeredMessage == 0 || message != *entry.registeredMessage)
            return false;
    } else if (message < entry.firstMessage || message > entry.lastMessage) {
        return false;
    }
    switch (entry.match) {
    case MessageMatch::Message:
        return true;
    case MessageMatch::Command: {
        const UINT id = LOWORD(wParam);
        return HIWORD(wParam) == entry.code && id >= entry.firstId && id <= entry.lastId;
    }
    case MessageMatch::Notify: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header != nullptr && header->code == entry.code && header->idFrom >= entry.firstId &&
               header->idFrom <= entry.lastId;
    }
    }
    return false;
}

}  // namespace

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, WPARAM wParam, LPARAM lParam) const
{
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (Matches(entry, message, wParam, lParam))
                return entry.thunk != nullptr ? &entry : nullptr;
        }
    }
    return nullptr;
}
