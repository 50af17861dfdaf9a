// Builds one journal line: a flat JSON object whose fields keep the order they were added in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace practice {

class JsonLine {
 public:
  JsonLine& Add(std::string_view key, std::string_view value);
  JsonLine& Add(std::string_view key, const char* value) {
    return Add(key, std::string_view(value));
  }
  JsonLine& Add(std::string_view key, std::int64_t value);
  JsonLine& Add(std::string_view key, int value) { return Add(key, std::int64_t{value}); }
  JsonLine& Add(std::string_view key, bool value);
  JsonLine& Add(std::string_view key, const std::vector<std::string>& values);
  std::string Text() const { return text_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string text_ = "{";
};

}  // namespace practice
