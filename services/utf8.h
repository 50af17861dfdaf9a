// The one UTF-8 decoder and encoder: every conversion, text utility and JSON writer reads
// and writes the tool's text through these, so they all agree on what a character is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelloram::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

struct Char {
  char32_t codePoint = 0;
  std::size_t length = 0;  // bytes
};

// The character starting at text[at], at < text.size(). A byte that does not start a
// well-formed sequence (shortest form, no surrogate, at most U+10FFFF) is a character of its
// own, U+FFFD of length 1: every walk moves forward, a bad byte costs one U+FFFD, and the
// forward and backward views of the boundaries agree, as well-formed sequences never overlap.
Char Decode(std::string_view text, std::size_t at);

// Start of the character that holds byte `at`.
std::size_t StartOfChar(std::string_view text, std::size_t at);

bool IsValid(std::string_view text);

// Surrogates and values past U+10FFFF are appended as U+FFFD.
void Append(std::string& out, char32_t codePoint);

}  // namespace pelloram::utf8
