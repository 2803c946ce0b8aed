#pragma once
// Message-map entries made from member-function pointers. Each Map* function
// accepts exactly one handler signature, so a wrong signature fails to compile:
//
//   MapCommand<&C::F>(code, id)              void F()              WM_COMMAND, one control
//   MapCommandRange<&C::F>(code, first, last) void F(UINT id)       WM_COMMAND, a control-id range
//   MapNotify<&C::F>(code, id)               void F(NMHDR*, LRESULT*) WM_NOTIFY
//   MapPaint<&C::F>()                        void F()              WM_PAINT
//   MapCtlColor<&C::F>()                     HBRUSH F(HDC, CWnd*, UINT kind)  every WM_CTLCOLOR* message
//   MapMessage<&C::F>(message)               LRESULT F(WPARAM, LPARAM)
//   MapRegisteredMessage<&C::F>(&number)     LRESULT F(WPARAM, LPARAM), number from RegisterWindowMessage
//   MapDefault(message)                      passed on to default processing unchanged
//
// The control-colour kind is CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC (message - WM_CTLCOLORMSGBOX).
// A class declares its map as
//   protected: static const MessageMap messageMap;
//              const MessageMap* GetMessageMap() const override { return &messageMap; }
//   private:   static const MessageMapEntry messageEntries[];
// and defines, in its source file,
//   const MessageMapEntry C::messageEntries[] = { ... };
//   const MessageMap C::messageMap = MakeMessageMap(&Base::messageMap, C::messageEntries);
#include <type_traits>
#include "Wnd.h"

namespace message_map_detail {

template <typename F>
struct Member;

template <typename C, typename R, typename... A>
struct Member<R (C::*)(A...)>
{
    using Class = C;
    using Function = R(A...);
};

template <typename C, typename R, typename... A>
struct Member<R (C::*)(A...) noexcept> : Member<R (C::*)(A...)>
{
};

template <auto Handler, typename Expected>
constexpr void CheckHandler()
{
    using M = Member<decltype(Handler)>;
    static_assert(std::is_base_of_v<CCmdTarget, typename M::Class>,
                  "a message handler is a member of a CCmdTarget class");
    static_assert(std::is_same_v<typename M::Function, Expected>,
                  "this message-map entry takes a handler of another signature");
}

template <auto Handler>
typename Member<decltype(Handler)>::Class& Target(CCmdTarget& target)
{
    return static_cast<typename Member<decltype(Handler)>::Class&>(target);
}

template <auto Handler>
LRESULT CallPlain(CCmdTarget& target, UINT, WPARAM, LPARAM)
{
    (Target<Handler>(target).*Handler)();
    return 0;
}

template <auto Handler>
LRESULT CallWithId(CCmdTarget& target, UINT, WPARAM wParam, LPARAM)
{
    (Target<Handler>(target).*Handler)(LOWORD(wParam));
    return 0;
}

template <auto Handler>
LRESULT CallNotify(CCmdTarget& target, UINT, WPARAM, LPARAM lParam)
{
    LRESULT result = 0;
    (Target<Handler>(target).*Handler)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}

template <auto Handler>
LRESULT CallCtlColor(CCmdTarget& target, UINT message, WPARAM wParam, LPARAM lParam)
{
    HBRUSH brush = (Target<Handler>(target).*Handler)(
        reinterpret_cast<HDC>(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX);
    return reinterpret_cast<LRESULT>(brush);
}

template <auto Handler>
LRESULT CallMessage(CCmdTarget& target, UINT, WPARAM wParam, LPARAM lParam)
{
    return (Target<Handler>(target).*Handler)(wParam, lParam);
}

}  // namespace message_map_detail

template <auto Handler>
constexpr MessageMapEntry MapCommand(UINT code, UINT id)
{
    message_map_detail::CheckHandler<Handler, void()>();
    return {WM_COMMAND,
            WM_COMMAND,
            MessageMatch::Command,
            code,
            id,
            id,
            nullptr,
            &message_map_detail::CallPlain<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapCommandRange(UINT code, UINT firstId, UINT lastId)
{
    message_map_detail::CheckHandler<Handler, void(UINT)>();
    return {WM_COMMAND,
            WM_COMMAND,
            MessageMatch::Command,
            code,
            firstId,
            lastId,
            nullptr,
            &message_map_detail::CallWithId<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapNotify(UINT code, UINT id)
{
    message_map_detail::CheckHandler<Handler, void(NMHDR*, LRESULT*)>();
    return {
        WM_NOTIFY, WM_NOTIFY, MessageMatch::Notify, code, id, id, nullptr, &message_map_detail::CallNotify<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapPaint()
{
    message_map_detail::CheckHandler<Handler, void()>();
    return {WM_PAINT, WM_PAINT, MessageMatch::Message, 0, 0, 0, nullptr, &message_map_detail::CallPlain<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapCtlColor()
{
    message_map_detail::CheckHandler<Handler, HBRUSH(HDC, CWnd*, UINT)>();
    return {WM_CTLCOLORMSGBOX,
            WM_CTLCOLORSTATIC,
            MessageMatch::Message,
            0,
            0,
            0,
            nullptr,
            &message_map_detail::CallCtlColor<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapMessage(UINT message)
{
    message_map_detail::CheckHandler<Handler, LRESULT(WPARAM, LPARAM)>();
    return {message, message, MessageMatch::Message, 0, 0, 0, nullptr, &message_map_detail::CallMessage<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry MapRegisteredMessage(const UINT* number)
{
    message_map_detail::CheckHandler<Handler, LRESULT(WPARAM, LPARAM)>();
    return {0, 0, MessageMatch::Message, 0, 0, 0, number, &message_map_detail::CallMessage<Handler>};
}

constexpr MessageMapEntry MapDefault(UINT message)
{
    return {message, message, MessageMatch::Message, 0, 0, 0, nullptr, nullptr};
}
