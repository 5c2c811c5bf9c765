// frmSteinerConf: the settings dialog, which says there are no settings. A backend shows it from
// this description and forwards its input here; the saver itself never opens it.
#pragma once

#include <array>
#include <string_view>

namespace drevanti {

struct FormControl {
  enum class Kind { Button, Label };
  std::string_view name;
  Kind kind;
  std::string_view text;         // UTF-8
  int left, top, width, height;  // twips
  int tabIndex;
};

// Twips to pixels at 15 twips per pixel.
constexpr int twipsToPixels(int twips) {
  return twips / 15;
}

class frmSteinerConf {
 public:
  static constexpr std::string_view kTitle = "シュタイナー問題設定画面";
  // Fixed single border with a title bar; the client area is 340 x 246 pixels.
  static constexpr int kClientWidth = 5100;
  static constexpr int kClientHeight = 3690;
  // In tab order.
  static constexpr std::array<FormControl, 5> kControls = {{
      {"cmdOk", FormControl::Kind::Button, "OK", 1800, 2880, 1095, 375, 0},
      {"cmdCancel", FormControl::Kind::Button, "Cancel", 3240, 2880, 1215, 375, 1},
      {"lblComment", FormControl::Kind::Label, "設定はありません。", 1560, 1320, 2535, 375, 2},
      {"lblSteiner", FormControl::Kind::Label, "シュタイナー問題", 840, 120, 2775, 735, 3},
      {"lblName", FormControl::Kind::Label, "Drevanti team", 2160, 2040, 1815, 495, 4},
  }};

  // Index into kControls of the button that has the focus: cmdOk when the form opens.
  int focused() const { return focused_; }
  // Tab and Shift+Tab move the focus between the buttons; labels never take it.
  void moveFocus(bool backwards);
  // A click on (or Space or Enter at) a button unloads the form; on a label it does nothing.
  void click(int control);
  // The title bar's close control unloads it too.
  void onCloseRequest() { unloaded_ = true; }
  // Once unloaded, the program ends.
  bool unloaded() const { return unloaded_; }

 private:
  int focused_ = 0;
  bool unloaded_ = false;
};

}  // namespace drevanti
