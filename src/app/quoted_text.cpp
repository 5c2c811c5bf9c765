#include "app/quoted_text.h"

namespace drevanti {

std::string quotedText(std::string_view text) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string shown = "'";
  const std::string_view kept = text.substr(0, kQuotedLimit);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const auto byte = static_cast<unsigned char>(kept[i]);
    if (byte >= 0x20 && byte < 0x7f) {
      shown += kept[i];
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xf];
    }
  }
  if (text.size() > kQuotedLimit) shown += "...";
  return shown + "'";
}

}  // namespace drevanti
