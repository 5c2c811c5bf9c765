// Ownership of GLib's objects and errors in C++ terms.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace drevanti::idle {

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
// A reference to a GObject, given up at the end.
template <class T>
using ObjectRef = std::unique_ptr<T, ObjectUnref>;

// The error's message (freeing it), prefixed with what failed.
inline std::string takeError(const std::string& what, GError* error) {
  std::string message = what + ": " + (error ? error->message : "unknown error");
  g_clear_error(&error);
  return message;
}

}  // namespace drevanti::idle
