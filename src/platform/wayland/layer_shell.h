// The layer-shell protocol's client header, which names an argument `namespace`: a keyword in C++.
// What the header includes comes first, so that the renaming touches nothing else.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wayland-client.h>

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace
