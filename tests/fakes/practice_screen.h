// What the practice client's windows look like on the fake desktop's screen, drawn from the
// model's boxes. Not the Win32 shell's drawing, but the same kind of screen for a picture
// search: plain or lightly grained backgrounds, and on them controls that each look like
// nothing else (a pattern made from the picture's kind and look, a sticker's from its name, a
// menu item's from its label), so a control taught by its look is found only where it lies.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "practice_client/model.h"
#include "services/image.h"

namespace pelloram::testing {

class PracticeScreen {
 public:
  // The main window: its own boxes and the sticker panel's, at the picture's size.
  void PaintMain(const std::vector<practice::Model::Box>& boxes, Image& picture);
  // The open menu, its boxes drawn from the menu's own top-left corner.
  void PaintMenu(const std::vector<practice::Model::Box>& boxes, Image& picture);

 private:
  void PaintBox(const practice::Model::Box& box, int dx, int dy, Image& picture);
  void PaintContent(const practice::Model::Box& box, int dx, int dy, Image& picture);
  const std::vector<std::uint8_t>& PatternOf(const std::string& seed);

  // The main window's own layer changes seldom (a sent sticker, a pressed button), the panel
  // on every step: the layer is kept with what it was drawn from and only the panel redrawn.
  std::string windowLayerDrawn_;
  Image windowLayer_;
  std::map<std::string, std::vector<std::uint8_t>> patterns_;
};

}  // namespace pelloram::testing
