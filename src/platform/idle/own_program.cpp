#include "own_program.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace drevanti::idle {

namespace {

constexpr const char* kSelf = "/proc/self/exe";
constexpr std::string_view kReplaced = " (deleted)";

}  // namespace

std::string ownProgram() {
  std::error_code error;
  std::string path = std::filesystem::read_symlink(kSelf, error).string();
  if (error || path.empty()) return kSelf;
  if (path.ends_with(kReplaced)) path.resize(path.size() - kReplaced.size());
  return path;
}

}  // namespace drevanti::idle
