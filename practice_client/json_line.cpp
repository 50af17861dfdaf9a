#include "practice_client/json_line.h"

#include <cstdio>

namespace practice {
namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) return 0;
  return length;
}

void AppendEscapedControl(std::string& out, unsigned char c) {
  switch (c) {
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
  }
}

}  // namespace

std::string JsonQuote(std::string_view utf8) {
  std::string out = "\"";
  out.reserve(utf8.size() + 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = Utf8SequenceLength(utf8, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else if (length > 1) {
      out.append(utf8.substr(i, length));
      i += length;
    } else {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20 || c == 0x7F) {
        AppendEscapedControl(out, c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
    }
  }
  out += '"';
  return out;
}

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
