#include "font_lookup.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "text_renderer.h"

namespace drevanti::linux_shared {
namespace {

TEST(DecodeUtf8, ReadsAsciiKatakanaAndMarksMalformedBytes) {
  EXPECT_EQ(decodeUtf8("N=7"), (std::vector<char32_t>{U'N', U'=', U'7'}));
  EXPECT_EQ(decodeUtf8("シュ"), (std::vector<char32_t>{0x30B7, 0x30E5}));
  EXPECT_EQ(decodeUtf8("\xF0\x9F\x98\x80"), (std::vector<char32_t>{0x1F600}));
  // A lone continuation byte, a cut-off sequence, an overlong slash, a surrogate.
  EXPECT_EQ(decodeUtf8("a\x80z"), (std::vector<char32_t>{U'a', 0xFFFD, U'z'}));
  EXPECT_EQ(decodeUtf8("\xE3\x82"), (std::vector<char32_t>{0xFFFD, 0xFFFD}));
  EXPECT_EQ(decodeUtf8("\xC0\xAF"), (std::vector<char32_t>{0xFFFD, 0xFFFD}));
  EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), (std::vector<char32_t>(3, 0xFFFD)));
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TTF_Init(), 0) << TTF_GetError(); }
  void TearDown() override { TTF_Quit(); }
};

// Whether the face in this file has a glyph for every character, read by FreeType itself.
bool faceCovers(const FontFile& file, std::string_view utf8) {
  TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), 12, file.index);
  if (!font) return false;
  bool all = true;
  for (char32_t c : decodeUtf8(utf8)) all = all && TTF_GlyphIsProvided32(font, c);
  TTF_CloseFont(font);
  return all;
}

TEST_F(FontTest, PlainTextGetsAnExistingSansSerifFile) {
  const FontFile file = findFont("N=7 M=-7 N+M=0 counter=0 d=99999.9 counter2=0");
  ASSERT_FALSE(file.path.empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(file.path)) << file.path;
  EXPECT_TRUE(faceCovers(file, "N=7 M=-7 0123456789.d")) << file.path;
}

TEST_F(FontTest, JapaneseTextGetsAFaceThatHasEveryCharacter) {
  for (const char* text : {"シュタイナー問題", "設定はありません。", "シュタイナー問題設定画面"}) {
    const FontFile file = findFont(text);
    ASSERT_TRUE(std::filesystem::is_regular_file(file.path)) << text;
    EXPECT_TRUE(faceCovers(file, text)) << text << " in " << file.path;
  }
  EXPECT_TRUE(faceCovers(findFont("シ"), "\u30B7"));
}

TEST_F(FontTest, TheRendererDrawsKatakanaWithARealGlyph) {
  TextRenderer text(kFormTextPixels);
  TTF_Font* font = text.fontFor("シュタイナー問題");
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(TTF_GlyphIsProvided32(font, 0x30B7));
  // The same renderer keeps the plain face for plain text.
  EXPECT_NE(text.fontFor("OK"), nullptr);
  EXPECT_GT(text.measure("シュタイナー問題").width, 0);
}

}  // namespace
}  // namespace drevanti::linux_shared
