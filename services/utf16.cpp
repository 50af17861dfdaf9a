#include "services/utf16.h"

#include "services/utf8.h"

namespace pelloram {
namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

template <typename Unit>
std::basic_string<Unit> ToUtf16(std::string_view text) {
  std::basic_string<Unit> out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const utf8::Char c = utf8::Decode(text, at);
    at += c.length;
    if (c.codePoint >= 0x10000) {
      out += static_cast<Unit>(0xD800 + ((c.codePoint - 0x10000) >> 10));
      out += static_cast<Unit>(0xDC00 + ((c.codePoint - 0x10000) & 0x3FF));
    } else {
      out += static_cast<Unit>(c.codePoint);
    }
  }
  return out;
}

template <typename Unit>
std::string FromUtf16(std::basic_string_view<Unit> text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto unit = static_cast<char32_t>(text[i]);
    char32_t codePoint = unit;
    if (IsHighSurrogate(unit) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
      codePoint = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    }
    // A lone surrogate is appended as U+FFFD.
    utf8::Append(out, codePoint);
  }
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) { return ToUtf16<char16_t>(text); }

std::string Utf16ToUtf8(std::u16string_view text) { return FromUtf16(text); }

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

std::wstring Wide(std::string_view text) { return ToUtf16<wchar_t>(text); }

std::string Narrow(std::wstring_view text) { return FromUtf16(text); }
#endif

}  // namespace pelloram
