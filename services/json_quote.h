// JSON string literals for the journal and the test helpers' JSON lines.
#pragma once

#include <string>
#include <string_view>

namespace pelloram {

// A JSON string literal for UTF-8 text. Quotes, backslashes and control characters are
// escaped; bytes that are not valid UTF-8 become U+FFFD so the line stays valid JSON.
std::string JsonQuote(std::string_view text);

}  // namespace pelloram
