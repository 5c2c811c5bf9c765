// Whole texts and files of terminals read at once, for the tests: the tool itself reads instance
// by instance with TerminalReader.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "terminal_file.h"

namespace drevanti::tool {

inline std::vector<TerminalInstance> readAll(std::istream& in, std::string name) {
  TerminalReader reader(in, std::move(name));
  std::vector<TerminalInstance> all;
  while (auto instance = reader.next()) all.push_back(std::move(*instance));
  return all;
}

inline std::vector<TerminalInstance> parseTerminals(std::string_view text,
                                                    std::string_view fileName) {
  std::istringstream in{std::string(text)};
  return readAll(in, std::string(fileName));
}

inline std::vector<TerminalInstance> readTerminalFile(const std::string& path) {
  std::ifstream in = openTerminalFile(path);
  return readAll(in, path);
}

}  // namespace drevanti::tool
