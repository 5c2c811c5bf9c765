// The monitors the full-screen saver covers, one window and one demonstration each.
#pragma once

#include <vector>

#include "app/backend.h"

namespace drevanti {

// The monitors to cover, in the window system's order, from those it reports: empty ones are
// dropped, and so is one whose rectangle in the layout space lies wholly inside another's (a mirror
// of part of the same picture, or the same monitor reported twice, of which the first stays). Empty
// when no monitor is usable.
std::vector<Monitor> monitorsToCover(const std::vector<Monitor>& reported);

}  // namespace drevanti
