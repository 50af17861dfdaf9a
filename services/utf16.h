// UTF-8 inside the tool, UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace pelloram {

// Invalid UTF-8 becomes U+FFFD, one per bad byte; never throws.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace pelloram
