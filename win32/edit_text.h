// Text as the contract has it (UTF-8, lines ending in LF) and as an EDIT control has it (UTF-16,
// lines ending in CR LF).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zentrovax {

[[nodiscard]] std::wstring Widen(std::string_view utf8);
[[nodiscard]] std::string Narrow(std::wstring_view wide);
// A lone LF becomes CR LF; an LF that already follows a CR is left alone.
[[nodiscard]] std::wstring ToEditLineEnds(std::wstring_view text);
[[nodiscard]] std::wstring FromEditLineEnds(std::wstring_view text);
[[nodiscard]] std::wstring TextOf(HWND control);

}  // namespace zentrovax
