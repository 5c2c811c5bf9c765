// Ownership of GLib's objects and errors in C++ terms.
#pragma once

#include <gio/gio.h>

#include <string>

#include "platform/linux_shared/owned.h"

namespace drevanti::idle {

// A reference to a GObject, given up at the end.
template <class T>
using ObjectRef = linux_shared::Owned<T, g_object_unref>;

// The error's message (freeing it), prefixed with what failed.
inline std::string takeError(const std::string& what, GError* error) {
  std::string message = what + ": " + (error ? error->message : "unknown error");
  g_clear_error(&error);
  return message;
}

}  // namespace drevanti::idle
