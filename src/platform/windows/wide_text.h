// The project keeps its texts in UTF-8; the wide-character Windows API takes UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace drevanti::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace drevanti::win32
