// A piece of what a user gave (an argument, a token of a file) quoted for a message: short, and
// safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace drevanti {

// At most this many bytes of the text are shown; "..." marks the cut.
inline constexpr std::size_t kQuotedLimit = 40;

// 'text' in single quotes, cut to kQuotedLimit bytes, with control bytes, DEL and every byte of
// 0x80 and above shown as \xHH, so that nothing in it can move the cursor, change colours or hide
// itself (an invisible byte order mark shows as \xef\xbb\xbf).
std::string quotedText(std::string_view text);

}  // namespace drevanti
