// Finding the font file for a piece of text through fontconfig: the desktop's sans-serif face for
// plain text, and for text it cannot show (Japanese, say) a face that covers every character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drevanti::linux_shared {

struct FontFile {
  std::string path;
  int index = 0;  // face index inside a collection file
  friend bool operator==(const FontFile&, const FontFile&) = default;
};

// The code points of UTF-8 text; a malformed sequence reads as U+FFFD.
std::vector<char32_t> decodeUtf8(std::string_view utf8);

// The font for this text: what fontconfig resolves for sans-serif, unless the text has characters
// that face lacks; then the best sans-serif face covering all of them (with the language hint for
// Japanese, so that shared Han characters take Japanese forms). Throws std::runtime_error when
// fontconfig knows no font file at all.
FontFile findFont(std::string_view utf8);

}  // namespace drevanti::linux_shared
