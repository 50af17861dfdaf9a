// What the practice client's windows look like on the fake desktop's screen, drawn from the
// model's boxes. Not the Win32 shell's drawing, but the same kind of screen for a picture
// search: plain or lightly grained backgrounds, and on them controls that each look like
// nothing else (a pattern made from the picture's kind and look, a sticker's from its name, a
// menu item's from its label), so a control taught by its look is found only where it lies.
// Drawn at the scale of the window's monitor: the boxes come in the model's 96-dpi units and
// every edge, margin, block and bar is drawn at its scaled place, as a client laid out for
// that monitor draws itself (not a copy of the 96-dpi picture made larger).
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
  // The main window: its own boxes and the sticker panel's, at the picture's size, at `dpi`.
  void PaintMain(const std::vector<practice::Model::Box>& boxes, int dpi, Image& picture);
  // The open menu, its boxes drawn from the menu's own top-left corner, at `dpi`.
  void PaintMenu(const std::vector<practice::Model::Box>& boxes, int dpi, Image& picture);

 private:
  static std::string Signature(const std::vector<practice::Model::Box>& boxes,
                               practice::Model::Layer layer);
  // dx, dy: where the model's origin lies on the picture, in its pixels.
  void PaintBox(const practice::Model::Box& box, int dx, int dy, int dpi, Image& picture);
  void PaintContent(const practice::Model::Box& box, int dx, int dy, int dpi, Image& picture);
  const std::vector<std::uint8_t>& PatternOf(const std::string& seed);

  // The main window's own layer changes seldom (a sent sticker, a pressed button), the panel
  // on every step: the layer is kept with what it was drawn from and only the panel redrawn.
  std::string windowLayerDrawn_;
  Image windowLayer_;
  std::string mainDrawn_;  // and the whole window, for the steps that change neither
  Image main_;
  std::map<std::string, std::vector<std::uint8_t>> patterns_;
};

}  // namespace pelloram::testing
