#pragma once
// Function identifiers given by the button device. Two ranges mean something
// to the program itself; 200 lies in both and is treated as both.
#include <windows.h>

namespace FunctionIds {

constexpr UINT32 LaunchFirst = 100;
constexpr UINT32 LaunchLast = 200;
constexpr UINT32 KeyCombinationFirst = 200;
constexpr UINT32 KeyCombinationLast = 300;
// When the device lists this id, the button's launch entry is inserted if not seen yet.
constexpr UINT32 ListingMarker = 201;

constexpr bool IsLaunch(UINT32 id)
{
    return id >= LaunchFirst && id <= LaunchLast;
}
constexpr bool IsKeyCombination(UINT32 id)
{
    return id >= KeyCombinationFirst && id <= KeyCombinationLast;
}
// The button's own launch and key-combination functions.
constexpr UINT32 OwnLaunch(INT32 buttonId)
{
    return static_cast<UINT32>(buttonId) + 100;
}
constexpr UINT32 OwnKeyCombination(INT32 buttonId)
{
    return static_cast<UINT32>(buttonId) + 200;
}

// Type numbers that mark a button's own entries.
constexpr INT32 TypeKeyCombination = 0;
constexpr INT32 TypeLaunch = 1;

}  // namespace FunctionIds
