#include "wide_text.h"

#include <gtest/gtest.h>

#include "app/frm_steiner_conf.h"

namespace drevanti::win32 {
namespace {

TEST(WideTextTest, JapaneseCaptionsBecomeUtf16) {
  EXPECT_EQ(widen("シュタイナー問題"),
            std::wstring(L"\u30b7\u30e5\u30bf\u30a4\u30ca\u30fc\u554f\u984c"));
  EXPECT_EQ(widen(frmSteinerConf::kTitle).size(), 12u);
  EXPECT_EQ(widen("設定はありません。"),
            std::wstring(L"\u8a2d\u5b9a\u306f\u3042\u308a\u307e\u305b\u3093\u3002"));
}

TEST(WideTextTest, AsciiEmptyAndTheWayBack) {
  EXPECT_EQ(widen("N=7 M=-7 d=99999.9"), std::wstring(L"N=7 M=-7 d=99999.9"));
  EXPECT_EQ(widen(""), std::wstring());
  EXPECT_EQ(narrow(L""), std::string());
  for (const FormControl& control : frmSteinerConf::kControls) {
    EXPECT_EQ(narrow(widen(control.text)), control.text);
  }
  // Outside the basic plane: a surrogate pair.
  EXPECT_EQ(widen("\xF0\x9F\x8C\xB8").size(), 2u);
}

}  // namespace
}  // namespace drevanti::win32
