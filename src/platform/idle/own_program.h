// This program's own file, to start it anew: named by its path, so that the new process has the
// program's name ("drevanti" in ps and pgrep; one started through /proc/self/exe is named "exe").
#pragma once

#include <string>

namespace drevanti::idle {

// The path of the running program's file; after the file was replaced (a package upgrade), the
// path of the new one; /proc/self/exe when the kernel cannot tell.
std::string ownProgram();

}  // namespace drevanti::idle
