// One sticker of an add run: from its file to the client's collection, each step checked.
#pragma once

#include <string>

#include "workflows/run.h"

namespace pelloram {

enum class Outcome { Added, AlreadyCollected, Skipped, Ended };

// The path onto the clipboard, the file button, the open dialog, the send, then the add
// (AddSentSticker). `sent` tells whether the sticker went into the chat, also when the
// run had to end after that.
Outcome AddOneSticker(Run& run, const std::string& path, bool& sent);
// The sticker last sent: its menu, the add item, and the forward window that tells of one
// collected before.
Outcome AddSentSticker(Run& run);
// The forward window tells of a sticker the client had collected before: said in a tip,
// then closed. True when it was up.
bool DismissForwardWindow(Run& run);

}  // namespace pelloram
