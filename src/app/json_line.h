// One JSON object on one line, fields in the order they are added.
#pragma once

#include <string>
#include <string_view>

namespace drevanti {

class JsonLine {
 public:
  JsonLine& field(std::string_view key, long long value);
  // Throws std::runtime_error for a value that JSON cannot hold (NaN or infinite).
  JsonLine& field(std::string_view key, double value);
  // A value that is already JSON (an array, say).
  JsonLine& raw(std::string_view key, std::string_view json);
  std::string str() const { return text_ + "}"; }

 private:
  void key(std::string_view key);
  std::string text_ = "{";
};

}  // namespace drevanti
