#include "font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <stdexcept>

#include "owned.h"

namespace drevanti::linux_shared {

namespace {

using Pattern = Owned<FcPattern, FcPatternDestroy>;
using CharSet = Owned<FcCharSet, FcCharSetDestroy>;
using FontSet = Owned<FcFontSet, FcFontSetDestroy>;

bool isJapanese(char32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) ||  // punctuation, hiragana, katakana
         (c >= 0x31F0 && c <= 0x31FF) ||  // katakana extensions
         (c >= 0x4E00 && c <= 0x9FFF) ||  // unified ideographs
         (c >= 0xFF00 && c <= 0xFFEF);    // full- and half-width forms
}

// A sans-serif pattern, configured as the desktop configures it, asking for the characters given.
Pattern sansSerifPattern(const FcCharSet* needed, bool japanese) {
  Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif")));
  if (!pattern) throw std::runtime_error("fontconfig cannot build a font pattern");
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (needed) FcPatternAddCharSet(pattern.get(), FC_CHARSET, needed);
  if (japanese) FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

bool covers(const FcPattern* font, const FcCharSet* needed) {
  if (!needed) return true;
  FcCharSet* available = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &available) != FcResultMatch) return false;
  return FcCharSetIsSubset(needed, available) == FcTrue;
}

FontFile fileOf(const FcPattern* font) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return {};
  int index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &index);
  return {reinterpret_cast<const char*>(file), index};
}

}  // namespace

std::vector<char32_t> decodeUtf8(std::string_view utf8) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int length = 1;
    char32_t c = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
    } else if (lead >= 0xE0) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0x80) {
      length = 0;  // a continuation byte or an invalid lead
    }
    bool valid = length > 0 && i + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if (valid && length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (valid && length == 4 && (c < 0x10000 || c > 0x10FFFF)) valid = false;
    if (!valid) {
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    out.push_back(c);
    i += length;
  }
  return out;
}

FontFile findFont(std::string_view utf8) {
  if (!FcInit()) throw std::runtime_error("fontconfig cannot be initialised");
  CharSet needed;
  bool japanese = false;
  for (char32_t c : decodeUtf8(utf8)) {
    if (c < 0x80) continue;  // every sans-serif face has ASCII
    if (!needed) needed.reset(FcCharSetCreate());
    FcCharSetAddChar(needed.get(), c);
    japanese = japanese || isJapanese(c);
  }

  FcResult result = FcResultNoMatch;
  const Pattern plain = sansSerifPattern(nullptr, false);
  Pattern best(FcFontMatch(nullptr, plain.get(), &result));
  if (best && covers(best.get(), needed.get())) {
    FontFile file = fileOf(best.get());
    if (!file.path.empty()) return file;
  }
  if (needed) {
    // The desktop's own choice lacks some characters: the nearest sans-serif face that has them.
    const Pattern wanted = sansSerifPattern(needed.get(), japanese);
    const FontSet sorted(FcFontSort(nullptr, wanted.get(), FcFalse, nullptr, &result));
    for (int i = 0; sorted && i < sorted->nfont; ++i) {
      if (!covers(sorted->fonts[i], needed.get())) continue;
      FontFile file = fileOf(sorted->fonts[i]);
      if (!file.path.empty()) return file;
    }
  }
  // Nothing covers everything: the desktop's sans-serif face, which shows what it can.
  if (best) {
    FontFile file = fileOf(best.get());
    if (!file.path.empty()) return file;
  }
  throw std::runtime_error("fontconfig finds no font for sans-serif");
}

}  // namespace drevanti::linux_shared
