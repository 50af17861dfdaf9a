#include "practice_client/control_pictures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "practice_client/screen_scale.h"

namespace practice {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfLine = 1.0;  // lines two pixels wide at 96 dpi

struct Spot {
  double x, y;
};
using Line = std::vector<Spot>;  // a polyline

// A picture as designed at 96 dpi: its size and its lines.
struct Design {
  int width = 0;
  int height = 0;
  std::vector<Line> lines;
};

double DistanceToSegment(Spot p, Spot a, Spot b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  const double t =
      length == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

// Each pixel inked by how much of it lies within half a line's width of a line: smooth
// edges, as an icon drawn with anti-aliasing has. At another dpi the lines are drawn anew at
// that size and width, sharp as the original, not an enlarged copy.
LinePicture Draw(const Design& design, int dpi) {
  const ScreenScale scale{dpi};
  const double factor = static_cast<double>(dpi) / kLogicalDpi;
  const double halfLine = kHalfLine * factor;
  const int width = scale.ToPhysical(design.width);
  const int height = scale.ToPhysical(design.height);
  LinePicture picture{width, height, {}};
  picture.ink.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Spot centre{(x + 0.5) / factor, (y + 0.5) / factor};  // in the design's units
      double nearest = std::numeric_limits<double>::max();
      for (const Line& line : design.lines) {
        for (std::size_t i = 0; i + 1 < line.size(); ++i) {
          nearest = std::min(nearest, DistanceToSegment(centre, line[i], line[i + 1]));
        }
        if (line.size() == 1)
          nearest = std::min(nearest, DistanceToSegment(centre, line[0], line[0]));
      }
      const double cover = std::clamp(halfLine + 0.5 - nearest * factor, 0.0, 1.0);
      picture.ink.push_back(static_cast<std::uint8_t>(std::lround(cover * 255)));
    }
  }
  return picture;
}

// A circular arc from angle `from` to `to` (radians, y pointing down).
Line Arc(Spot centre, double radius, double from, double to) {
  Line arc;
  constexpr int kSteps = 40;
  for (int i = 0; i <= kSteps; ++i) {
    const double a = from + (to - from) * i / kSteps;
    arc.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
  }
  return arc;
}

Design SmilingFace() {
  const Spot centre{13, 13};
  return {26,
          26,
          {Arc(centre, 11, 0, 2 * kPi),
           {{9.5, 9}, {9.5, 11.5}},
           {{16.5, 9}, {16.5, 11.5}},
           Arc(centre, 6.5, 0.2 * kPi, 0.8 * kPi)}};
}

// The classic heart curve, fitted into the picture with a line's width to spare.
Design Heart() {
  constexpr int kWidth = 28, kHeight = 24;
  Line curve;
  constexpr int kSteps = 96;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = 2 * kPi * i / kSteps;
    const double s = std::sin(t);
    curve.push_back({16 * s * s * s, -(13 * std::cos(t) - 5 * std::cos(2 * t) -
                                       2 * std::cos(3 * t) - std::cos(4 * t))});
  }
  // The curve spans x -16..16 and y -12..17 (y down).
  const double scale = std::min((kWidth - 4) / 32.0, (kHeight - 4) / 29.0);
  for (Spot& spot : curve) {
    spot = {kWidth / 2.0 + spot.x * scale, 2 + (spot.y + 12) * scale};
  }
  return {kWidth, kHeight, {curve}};
}

Design Folder() {
  return {26,
          20,
          {{{2, 4}, {9, 4}, {11.5, 6.5}, {23.5, 6.5}, {23.5, 17.5}, {2, 17.5}, {2, 4}},
           {{2, 9.5}, {23.5, 9.5}}}};
}

Design DesignOf(Model::Picture picture) {
  switch (picture) {
    case Model::Picture::SmilingFace:
      return SmilingFace();
    case Model::Picture::Heart:
      return Heart();
    case Model::Picture::Folder:
      return Folder();
    case Model::Picture::None:
    case Model::Picture::Sticker:
      break;
  }
  return {};
}

}  // namespace

const LinePicture& PictureOf(Model::Picture picture, int dpi) {
  // Drawn once per picture and scale; the shell paints them on every frame.
  static std::map<std::pair<Model::Picture, int>, LinePicture> drawn;
  const auto key = std::make_pair(picture, dpi);
  auto found = drawn.find(key);
  if (found == drawn.end()) found = drawn.emplace(key, Draw(DesignOf(picture), dpi)).first;
  return found->second;
}

}  // namespace practice
