// UTF-8 inside the tool, UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace pelloram {

// Invalid UTF-8 becomes U+FFFD, one per bad byte; never throws.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

#ifdef _WIN32
// The same for the wide API's strings: wchar_t is a UTF-16 unit on Windows.
std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);
#endif

}  // namespace pelloram
