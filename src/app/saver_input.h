// The saver's input, as every backend reports it (SaverInput, app/backend.h), passed on to the
// handler it stands for.
#pragma once

#include "app/backend.h"
#include "app/saver_window.h"

namespace drevanti {

void deliver(const SaverInput& input, FormEvents& handlers);

}  // namespace drevanti
