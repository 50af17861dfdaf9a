#include "practice_client/json_line.h"

#include "services/json_quote.h"

namespace practice {

using pelloram::JsonQuote;

void JsonLine::Key(std::string_view key) {
  if (text_.size() > 1) text_ += ',';
  text_ += JsonQuote(key);
  text_ += ':';
}

JsonLine& JsonLine::Add(std::string_view key, std::string_view value) {
  Key(key);
  text_ += JsonQuote(value);
  return *this;
}

JsonLine& JsonLine::Add(std::string_view key, std::int64_t value) {
  Key(key);
  text_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::Add(std::string_view key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::Add(std::string_view key, const std::vector<std::string>& values) {
  Key(key);
  text_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text_ += ',';
    text_ += JsonQuote(values[i]);
  }
  text_ += ']';
  return *this;
}

}  // namespace practice
