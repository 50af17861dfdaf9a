// Short, readable names for parameterised cases whose parameter is a piece of text: CTest
// lists them as Suite/Test.Case/<name>, and Google Test takes only letters, digits and "_".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "services/utf8.h"

namespace pelloram::testing {

namespace case_name_detail {

inline const char* Spelled(char c) {
  switch (c) {
    case ' ':
      return "Sp";
    case '\t':
      return "Tab";
    case '\n':
      return "Lf";
    case '\r':
      return "Cr";
    case '\v':
      return "Vt";
    case '\f':
      return "Ff";
    case '\0':
      return "Nul";
    case '.':
      return "Dot";
    case '-':
      return "Minus";
    case '+':
      return "Plus";
    case '|':
      return "Bar";
    case '\\':
      return "Bslash";
    case '/':
      return "Slash";
    case ',':
      return "Comma";
    case '*':
      return "Star";
    case ':':
      return "Colon";
    case '"':
      return "Quote";
    default:
      return nullptr;
  }
}

}  // namespace case_name_detail

// Letters and digits as they are, common punctuation spelled out ("-4.5x" gives
// "Minus4Dot5x"), other characters as U<code point> and bytes that are no UTF-8 as X<byte>.
// Cut at 40 characters; the empty text is "Empty".
inline std::string TextCaseName(std::string_view text) {
  if (text.empty()) return "Empty";
  std::string name;
  char buffer[16];
  for (std::size_t at = 0; at < text.size() && name.size() < 40;) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const utf8::Char c = utf8::Decode(text, at);
    if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
        (byte >= 'A' && byte <= 'Z')) {
      name += static_cast<char>(byte);
    } else if (const char* spelled = case_name_detail::Spelled(static_cast<char>(byte))) {
      name += spelled;
    } else if (c.codePoint == utf8::kReplacement && c.length == 1) {
      std::snprintf(buffer, sizeof buffer, "X%02X", byte);
      name += buffer;
    } else {
      std::snprintf(buffer, sizeof buffer, "U%X", static_cast<unsigned>(c.codePoint));
      name += buffer;
    }
    at += c.length;
  }
  return name.substr(0, 40);
}

}  // namespace pelloram::testing
