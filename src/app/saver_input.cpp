#include "app/saver_input.h"

namespace drevanti {

void deliver(const SaverInput& input, FormEvents& handlers) {
  using Kind = SaverInput::Kind;
  switch (input.kind) {
    case Kind::KeyDown:
      handlers.onKeyDown(static_cast<Integer>(input.keyCode), static_cast<Integer>(input.shift));
      break;
    case Kind::Click:
      handlers.onClick();
      break;
    case Kind::MouseMove:
      handlers.onMouseMove(static_cast<Integer>(input.button), static_cast<Integer>(input.shift),
                           input.x, input.y);
      break;
    case Kind::CloseRequest:
      handlers.onCloseRequest();
      break;
    case Kind::None:
      break;
  }
}

}  // namespace drevanti
