#include "services/utf8.h"

namespace pelloram::utf8 {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

constexpr Char kBadByte{kReplacement, 1};

}  // namespace

// The second byte's range rules out overlong forms, surrogates and values past U+10FFFF
// before anything is assembled.
Char Decode(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
  };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t codePoint = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return kBadByte;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (!InRange(byte(i), i == 1 ? low : 0x80, i == 1 ? high : 0xBF)) return kBadByte;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  return {codePoint, length};
}

// A character starting up to three bytes earlier may run past `at`.
std::size_t StartOfChar(std::string_view text, std::size_t at) {
  for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
    if (Decode(text, at - back).length > back) return at - back;
  }
  return at;
}

bool IsValid(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Char c = Decode(text, at);
    if (c.length == 1 && c.codePoint == kReplacement) return false;
    at += c.length;
  }
  return true;
}

void Append(std::string& out, char32_t codePoint) {
  const auto put = [&out](char32_t value) { out += static_cast<char>(value); };
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    codePoint = kReplacement;
  }
  if (codePoint < 0x80) {
    put(codePoint);
    return;
  }
  if (codePoint < 0x800) {
    put(0xC0 | (codePoint >> 6));
  } else if (codePoint < 0x10000) {
    put(0xE0 | (codePoint >> 12));
    put(0x80 | ((codePoint >> 6) & 0x3F));
  } else {
    put(0xF0 | (codePoint >> 18));
    put(0x80 | ((codePoint >> 12) & 0x3F));
    put(0x80 | ((codePoint >> 6) & 0x3F));
  }
  put(0x80 | (codePoint & 0x3F));
}

}  // namespace pelloram::utf8
