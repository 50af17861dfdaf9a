#include "services/json_quote.h"

#include <cstdio>

#include "services/utf8.h"

namespace pelloram {
namespace {

void AppendAscii(std::string& out, char c) {
  switch (c) {
    case '"':
    case '\\':
      out += '\\';
      out += c;
      return;
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
      break;
  }
  if (c >= 0x20 && c != 0x7F) {
    out += c;
    return;
  }
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
  out += escaped;
}

}  // namespace

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (std::size_t at = 0; at < text.size();) {
    const utf8::Char c = utf8::Decode(text, at);
    at += c.length;
    if (c.codePoint < 0x80) {
      AppendAscii(out, static_cast<char>(c.codePoint));
    } else {
      utf8::Append(out, c.codePoint);  // a bad byte decoded as U+FFFD
    }
  }
  out += '"';
  return out;
}

}  // namespace pelloram
