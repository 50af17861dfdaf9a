#include "tests/fakes/practice_screen.h"

#include <algorithm>
#include <cstddef>

#include "practice_client/sticker_look.h"
#include "services/scale.h"

namespace pelloram::testing {
namespace {

using Box = practice::Model::Box;
using Kind = practice::Model::Kind;
using Picture = practice::Model::Picture;
using Layer = practice::Model::Layer;

constexpr int kPatternSide = 40;  // blocks per side of a pattern; larger boxes repeat it

struct Rgb {
  int r, g, b;
};

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  return h ^ (h >> 33);
}

std::uint64_t HashOf(const std::string& text) {
  std::uint64_t h = 14695981039346656037ULL;
  for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  return Mix(h);
}

void Put(Image& picture, int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
  std::uint8_t* p = &picture.bgra[picture.Offset(x, y)];
  p[0] = static_cast<std::uint8_t>(std::clamp(c.b, 0, 255));
  p[1] = static_cast<std::uint8_t>(std::clamp(c.g, 0, 255));
  p[2] = static_cast<std::uint8_t>(std::clamp(c.r, 0, 255));
  p[3] = 255;
}

int Grey(Kind kind) {
  switch (kind) {
    case Kind::Title:
      return 228;
    case Kind::Button:
      return 232;
    case Kind::Tab:
      return 236;
    case Kind::Cell:
    case Kind::Message:
      return 250;
    case Kind::Input:
      return 255;
    case Kind::Menu:
      return 252;
    case Kind::MenuItem:
      return 246;
    case Kind::Text:
      return 238;
    case Kind::Area:
      break;
  }
  return 242;
}

const char* NameOf(Picture picture) {
  switch (picture) {
    case Picture::SmilingFace:
      return "smiling face";
    case Picture::Heart:
      return "heart";
    case Picture::Folder:
      return "folder";
    case Picture::Sticker:
      return "sticker";
    case Picture::None:
      break;
  }
  return "";
}

// The practice client's grain, looked up: it is drawn over most of every capture.
int Grain(int x, int y) {
  constexpr int kSide = 2048;
  static const std::vector<std::uint8_t> table = [] {
    std::vector<std::uint8_t> grain(static_cast<std::size_t>(kSide) * kSide);
    for (int gy = 0; gy < kSide; ++gy) {
      for (int gx = 0; gx < kSide; ++gx) {
        grain[static_cast<std::size_t>(gy) * kSide + static_cast<std::size_t>(gx)] =
            static_cast<std::uint8_t>(practice::GrainAt(gx, gy));
      }
    }
    return grain;
  }();
  if (x < 0 || y < 0 || x >= kSide || y >= kSide) return practice::GrainAt(x, y);
  return table[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)];
}

// The rectangle of a box that holds its picture or label, and the size of one block of it.
struct Inset {
  int margin = 0;
  int topMargin = 0;
  int block = 1;
};

// Where a box of the model shows on a picture whose model origin lies at (dx, dy), at `dpi`.
Rect ShownAt(const Box& box, int dx, int dy, int dpi) {
  const Rect edges = ScaledEdges(Rect{box.left, box.top, box.right, box.bottom}, dpi);
  return Rect{edges.left + dx, edges.top + dy, edges.right + dx, edges.bottom + dy};
}

// The block of a pattern of `block`-unit blocks that a pixel `u` pixels into it shows at
// `dpi`: the one whose scaled edges hold it.
int BlockAt(int u, int block, int dpi) {
  if (dpi == kBaseDpi) return u / block;
  int i = static_cast<int>(static_cast<long long>(u) * kBaseDpi /
                           (static_cast<long long>(block) * dpi));
  while (Scaled((i + 1) * block, dpi) <= u) ++i;
  while (i > 0 && Scaled(i * block, dpi) > u) --i;
  return i;
}

}  // namespace

// A pattern of kPatternSide x kPatternSide coloured blocks from a seed text: three bytes a
// block, strong steps of brightness with a tint, so no shifted copy of it resembles itself.
const std::vector<std::uint8_t>& PracticeScreen::PatternOf(const std::string& seed) {
  auto [it, made] = patterns_.try_emplace(seed);
  if (!made) return it->second;
  std::vector<std::uint8_t>& pattern = it->second;
  pattern.resize(kPatternSide * kPatternSide * 3);
  const std::uint64_t base = HashOf(seed);
  for (std::size_t i = 0; i < static_cast<std::size_t>(kPatternSide * kPatternSide); ++i) {
    const std::uint64_t h = Mix(base + i * 0x9E3779B97F4A7C15ULL);
    const int value = 40 + static_cast<int>(h % 181);
    const int tint = static_cast<int>((h >> 8) % 3);
    for (int c = 0; c < 3; ++c) {
      pattern[i * 3 + static_cast<std::size_t>(c)] =
          static_cast<std::uint8_t>(std::clamp(value + (c == tint ? 30 : -10), 0, 255));
    }
  }
  return pattern;
}

// Everything a layer's drawing depends on, to tell whether a kept drawing still shows it.
std::string PracticeScreen::Signature(const std::vector<Box>& boxes, Layer layer) {
  std::string drawn;
  for (const Box& box : boxes) {
    if (box.layer != layer) continue;
    for (const int number : {box.left, box.top, box.right, box.bottom, static_cast<int>(box.kind),
                             static_cast<int>(box.active), static_cast<int>(box.picture),
                             static_cast<int>(box.textured)}) {
      drawn += std::to_string(number);
      drawn += ',';
    }
    drawn += box.look;
    drawn += '/';
    drawn += box.label;
    drawn += '|';
  }
  return drawn;
}

void PracticeScreen::PaintBox(const Box& box, int dx, int dy, int dpi, Image& picture) {
  const Rect shown = ShownAt(box, dx, dy, dpi);
  const int left = std::max(shown.left, 0), right = std::min(shown.right, picture.width);
  const int top = std::max(shown.top, 0), bottom = std::min(shown.bottom, picture.height);
  if (left >= right || top >= bottom) return;
  const int grey = Grey(box.kind);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = picture.bgra.data() + picture.Offset(left, y);
    for (int x = left; x < right; ++x, p += 4) {
      // The grain is counted from the box's own corner, so it moves with the box; it is a
      // texture of the screen's own pixels, at every scale.
      const int g = box.textured ? grey - Grain(x - shown.left, y - shown.top) : grey;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(g);
      p[3] = 255;
    }
  }
  const int line = std::max(1, Scaled(1, dpi));
  if (box.kind == Kind::Menu) {
    constexpr Rgb kFrame{150, 150, 150};
    for (int i = 0; i < line; ++i) {
      for (int x = left; x < right; ++x) Put(picture, x, top + i, kFrame);
      for (int x = left; x < right; ++x) Put(picture, x, bottom - 1 - i, kFrame);
      for (int y = top; y < bottom; ++y) Put(picture, left + i, y, kFrame);
      for (int y = top; y < bottom; ++y) Put(picture, right - 1 - i, y, kFrame);
    }
  }
  PaintContent(box, dx, dy, dpi, picture);
  if (box.active) {
    // A pressed toggle or the selected tab: a bar along its foot, the rest as it was.
    for (int y = std::max(bottom - Scaled(2, dpi), top); y < bottom; ++y) {
      for (int x = left; x < right; ++x) Put(picture, x, y, {90, 140, 90});
    }
  }
}

// What fills a box: a control's picture, a sticker's image, or a menu's text.
void PracticeScreen::PaintContent(const Box& box, int dx, int dy, int dpi, Image& picture) {
  std::string seed;
  Inset inset;
  bool text = false;
  if (box.picture == Picture::Sticker) {
    seed = "sticker:" + box.label;
    inset = {2, 2, 5};
  } else if (box.picture != Picture::None) {
    seed = std::string(NameOf(box.picture)) + ":" + box.look;
    inset = {3, 3, 4};
  } else if (box.layer == Layer::Menu && box.kind != Kind::Menu && !box.label.empty()) {
    seed = "label:" + box.label;
    inset = {5, 6, 3};
    text = true;
  } else {
    return;
  }
  const std::vector<std::uint8_t>& pattern = PatternOf(seed);
  const Rect shown = ShownAt(box, dx, dy, dpi);
  const int margin = Scaled(inset.margin, dpi), topMargin = Scaled(inset.topMargin, dpi);
  const int x0 = shown.left + margin, y0 = shown.top + topMargin;
  const int x1 = std::min(shown.right - margin, picture.width);
  const int y1 = std::min(shown.bottom - topMargin, picture.height);
  const int xFrom = std::max(x0, 0);
  // Each block drawn where its scaled edges fall: the pattern's geometry made larger.
  std::vector<std::size_t> columns;
  for (int x = xFrom; x < x1; ++x) {
    columns.push_back(static_cast<std::size_t>(BlockAt(x - x0, inset.block, dpi) % kPatternSide) *
                      3);
  }
  for (int y = std::max(y0, 0); y < y1; ++y) {
    const std::uint8_t* row = &pattern[static_cast<std::size_t>(BlockAt(y - y0, inset.block, dpi) %
                                                                kPatternSide * kPatternSide) *
                                       3];
    std::uint8_t* p = picture.bgra.data() + picture.Offset(xFrom, y);
    for (const std::size_t column : columns) {
      const std::uint8_t* block = row + column;
      if (text) {
        // Dark strokes on the item's ground, where the block is dark enough.
        if (block[0] < 110) p[0] = 60, p[1] = 50, p[2] = 50;
      } else {
        p[0] = block[2], p[1] = block[1], p[2] = block[0];
      }
      p += 4;
    }
  }
}

void PracticeScreen::PaintMain(const std::vector<Box>& boxes, int dpi, Image& picture) {
  const std::string size = std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                           "@" + std::to_string(dpi);
  std::string window = size + Signature(boxes, Layer::Window);
  std::string both = window + Signature(boxes, Layer::Panel);
  if (both == mainDrawn_) {
    picture.bgra = main_.bgra;
    return;
  }
  if (window != windowLayerDrawn_) {
    windowLayer_ = picture;
    for (const Box& box : boxes) {
      if (box.layer == Layer::Window) PaintBox(box, 0, 0, dpi, windowLayer_);
    }
    windowLayerDrawn_ = std::move(window);
  }
  picture.bgra = windowLayer_.bgra;
  for (const Box& box : boxes) {
    if (box.layer == Layer::Panel) PaintBox(box, 0, 0, dpi, picture);
  }
  main_ = picture;
  mainDrawn_ = std::move(both);
}

void PracticeScreen::PaintMenu(const std::vector<Box>& boxes, int dpi, Image& picture) {
  for (const Box& menu : boxes) {
    if (menu.kind != Kind::Menu) continue;
    const int dx = -Scaled(menu.left, dpi), dy = -Scaled(menu.top, dpi);
    for (const Box& box : boxes) {
      if (box.layer == Layer::Menu) PaintBox(box, dx, dy, dpi, picture);
    }
    return;
  }
}

}  // namespace pelloram::testing
