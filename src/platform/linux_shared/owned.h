// An object of a C library, owned by a unique_ptr that frees it with the library's own function:
// Owned<SDL_Surface, SDL_FreeSurface>.
#pragma once

#include <memory>

namespace drevanti::linux_shared {

template <auto free>
struct FreeWith {
  template <typename T>
  void operator()(T* object) const {
    free(object);
  }
};

template <typename T, auto free>
using Owned = std::unique_ptr<T, FreeWith<free>>;

}  // namespace drevanti::linux_shared
