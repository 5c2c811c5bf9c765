#include "app/json_line.h"

#include <cmath>
#include <stdexcept>

#include "render/decimal_text.h"

namespace drevanti {

void JsonLine::key(std::string_view key) {
  if (text_.size() > 1) text_ += ',';
  text_ += '"';
  text_ += key;
  text_ += "\":";
}

JsonLine& JsonLine::field(std::string_view name, long long value) {
  key(name);
  text_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::field(std::string_view name, double value) {
  if (!std::isfinite(value)) {
    throw std::runtime_error("internal error: " + std::string(name) + " is not a finite number");
  }
  key(name);
  text_ += shortestDecimal(value);
  return *this;
}

JsonLine& JsonLine::raw(std::string_view name, std::string_view json) {
  key(name);
  text_ += json;
  return *this;
}

}  // namespace drevanti
