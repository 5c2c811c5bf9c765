// drevanti.scr's resources as Windows reads them: the manifest that makes the saver DPI aware,
// which wine does not act on, and the name the Screen Saver Settings page lists.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "wide_text.h"

namespace drevanti::win32 {
namespace {

class SaverResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(widen(DREVANTI_SAVER_PATH).c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << DREVANTI_SAVER_PATH;
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The text of an element of the manifest, "" when it has none.
  static std::string element(const std::string& xml, const std::string& name) {
    const auto open = xml.find("<" + name);
    if (open == std::string::npos) return "";
    const auto start = xml.find('>', open) + 1;
    return xml.substr(start, xml.find("</" + name, start) - start);
  }

  HMODULE module_ = nullptr;
};

TEST_F(SaverResourcesTest, TheManifestAsksForPerMonitorDpiAwareness) {
  // Where Windows looks for an executable's manifest: type RT_MANIFEST, id 1.
  const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
  const std::string xml(data, SizeofResource(module_, found));
  // Windows 10 1607 and later read dpiAwareness (v2 first, v1 where v2 is unknown); older
  // systems read dpiAware.
  EXPECT_EQ(element(xml, "dpiAwareness"), "PerMonitorV2, PerMonitor");
  EXPECT_EQ(element(xml, "dpiAware"), "true/pm");
  // Only one manifest may be embedded: a second one (the toolchain's default) would be ignored or
  // clash.
  EXPECT_EQ(xml.find("</assembly>"), xml.rfind("</assembly>"));
}

TEST_F(SaverResourcesTest, StringOneIsTheNameTheSettingsPageLists) {
  wchar_t name[64] = L"";
  ASSERT_GT(LoadStringW(module_, 1, name, 64), 0);
  EXPECT_EQ(std::wstring(name), L"Drevanti");
}

}  // namespace
}  // namespace drevanti::win32
