// The flashing mode radio and the thank-you message.
#pragma once

#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

inline constexpr std::string_view kThanksCaption = "非常感谢";
extern const std::string_view kThanksText;

void FlashModeRadio(Tool& tool);
void ShowThanks(Tool& tool);

}  // namespace pelloram
