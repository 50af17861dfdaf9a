// Clipboard text for the add run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "client/desktop.h"

namespace pelloram {

// Puts the text on the clipboard (as Unicode text; the system also offers it as CF_TEXT),
// owned by the foreground window. Retries for about two seconds while another program
// holds the clipboard, handling messages meanwhile; false when it could not be taken, and
// the old content is then still there.
// With `replaced`, what the clipboard held before (see Desktop::PutClipboardText). Gives up
// at once, false, when `stopEarly` holds after messages were handled (a pause meanwhile).
bool PutTextOnClipboard(Desktop& desktop, std::string_view text,
                        std::optional<std::string>* replaced = nullptr,
                        const std::function<bool()>& stopEarly = nullptr);

}  // namespace pelloram
