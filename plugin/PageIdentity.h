#pragma once
// Identity strings of the plug-in's pages (GUID form without braces). The
// logo-lamp page's identity also names the caller to the video-enhancement service.
constexpr wchar_t logoLampPageIdentity[] = L"0605F063-C96F-45b8-881E-661479F1AF14";
constexpr wchar_t lampBrightnessPageIdentity[] = L"651D2B16-EDFB-439b-AB5B-950D6C6C3BF2";

// The host's category of hardware pages.
constexpr UINT lampPageCategory = 5;
