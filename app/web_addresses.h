#pragma once

// The product's web addresses that the main window opens with the shell.
inline constexpr wchar_t kHowToUseUrl[] = L"https://www.corvane.example/vmdk-recovery/how-to-use/";
inline constexpr wchar_t kProductPageUrl[] = L"https://www.corvane.example/vmdk-recovery/";
inline constexpr wchar_t kSupportPageUrl[] = L"https://www.corvane.example/support/";
