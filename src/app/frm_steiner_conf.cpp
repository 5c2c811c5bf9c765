#include "app/frm_steiner_conf.h"

namespace drevanti {

void frmSteinerConf::moveFocus(bool backwards) {
  const int count = static_cast<int>(kControls.size());
  int next = focused_;
  do {
    next = (next + (backwards ? count - 1 : 1)) % count;
  } while (kControls[next].kind != FormControl::Kind::Button);
  focused_ = next;
}

void frmSteinerConf::click(int control) {
  if (control < 0 || control >= static_cast<int>(kControls.size())) return;
  if (kControls[control].kind == FormControl::Kind::Button) unloaded_ = true;
}

}  // namespace drevanti
