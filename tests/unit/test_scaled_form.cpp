// The form on a scaled display (app/form.h): at 100 % the form itself, at 125 % to 200 % the
// same window drawn larger, with nothing that touched, lined up or lay inside another at 100 %
// coming apart; and the window's way from one monitor's scale to another's.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/form.h"
#include "app/mode_switching.h"
#include "app/pictures.h"

namespace pelloram {
namespace {

bool OnScreen(const ControlForm& form) {
  return form.kind != ControlKind::Timer && form.kind != ControlKind::BalloonTip;
}

int Width(const Rect& r) { return r.right - r.left; }
int Height(const Rect& r) { return r.bottom - r.top; }

bool Inside(const Rect& inner, int width, int height) {
  return inner.left >= 0 && inner.top >= 0 && inner.right <= width && inner.bottom <= height;
}

bool Overlap(const Rect& a, const Rect& b) { return !IsEmpty(Intersect(a, b)); }

bool Within(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The four edges of a rectangle, by axis: left and right are x, top and bottom y.
std::array<int, 4> Edges(const Rect& r) { return {r.left, r.right, r.top, r.bottom}; }
constexpr std::array<const char*, 4> kEdgeNames = {"left", "right", "top", "bottom"};
bool SameAxis(int i, int j) { return (i < 2) == (j < 2); }

// Controls that share a container (and so a coordinate system), each pair once.
std::vector<std::pair<const ControlForm*, const ControlForm*>> Siblings() {
  std::vector<std::pair<const ControlForm*, const ControlForm*>> pairs;
  for (const ControlForm& a : Form()) {
    for (const ControlForm& b : Form()) {
      if (&a < &b && OnScreen(a) && OnScreen(b) && a.container == b.container) {
        pairs.emplace_back(&a, &b);
      }
    }
  }
  return pairs;
}

std::string Name(const ControlForm& form) { return std::string(form.designerName); }

TEST(ScaledForm, At96DpiItIsTheFormPixelForPixel) {
  for (const int dpi : {kBaseDpi, 0}) {  // 0: the system told no scale
    const ScaledForm scaled = FormAt(dpi);
    EXPECT_EQ(scaled.dpi, kBaseDpi);
    EXPECT_EQ(scaled.windowWidth, kMainWindowWidth);
    EXPECT_EQ(scaled.windowHeight, kMainWindowHeight);
    EXPECT_EQ(scaled.borderLinePx, kBorderLinePx);
    for (const ControlForm& form : Form()) {
      SCOPED_TRACE(Name(form));
      const PlacedControl& placed = scaled.controls[static_cast<std::size_t>(form.id)];
      EXPECT_EQ(placed.rect, (Rect{form.x, form.y, form.x + form.width, form.y + form.height}));
      EXPECT_EQ(placed.fontPx, form.fontPx);
    }
  }
}

// A rectangle the seam resizes at run time (a help label in its mode) is drawn by the same
// rule as the form's own: the window and the Ui seam cannot place a control apart.
TEST(ScaledForm, EveryRectangleIsPlacedByOneRule) {
  for (const int dpi : {96, 120, 144, 168, 192}) {
    for (const ControlForm& form : Form()) {
      EXPECT_EQ(FormAt(dpi).controls[static_cast<std::size_t>(form.id)].rect,
                PlacedAt(FormRect(form), dpi));
      EXPECT_EQ(PlacedAt(FormRect(form), dpi), ScaledEdges(FormRect(form), dpi));
    }
  }
}

class AtScale : public ::testing::TestWithParam<int> {
 protected:
  int dpi() const { return GetParam(); }
  double scale() const { return dpi() / 96.0; }
  const ScaledForm& scaled() const { return form_; }
  const Rect& At(Control control) const {
    return form_.controls[static_cast<std::size_t>(control)].rect;
  }

 private:
  ScaledForm form_ = FormAt(GetParam());
};

TEST_P(AtScale, TheWindowAndEveryControlAreAsManyTimesLarger) {
  EXPECT_NEAR(scaled().windowWidth, kMainWindowWidth * scale(), 0.5);
  EXPECT_NEAR(scaled().windowHeight, kMainWindowHeight * scale(), 0.5);
  for (const ControlForm& form : Form()) {
    SCOPED_TRACE(Name(form));
    const Rect& r = At(form.id);
    // Each edge within half a pixel of the exact scale; the size so within one.
    EXPECT_NEAR(r.left, form.x * scale(), 0.5);
    EXPECT_NEAR(r.top, form.y * scale(), 0.5);
    EXPECT_NEAR(Width(r), form.width * scale(), 1.0);
    EXPECT_NEAR(Height(r), form.height * scale(), 1.0);
  }
}

TEST_P(AtScale, FontsAndLinesScaleToo) {
  for (const ControlForm& form : Form()) {
    SCOPED_TRACE(Name(form));
    const int px = scaled().controls[static_cast<std::size_t>(form.id)].fontPx;
    EXPECT_NEAR(px, form.fontPx * scale(), 0.5);
    if (form.fontPx > 0) {
      EXPECT_GT(px, form.fontPx);  // never smaller or the same above 100 %
    } else {
      EXPECT_EQ(px, 0);  // the system's font stays the system's
    }
  }
  EXPECT_GE(scaled().borderLinePx, 1);
  EXPECT_EQ(scaled().borderLinePx, std::max(1, static_cast<int>(std::lround(scale()))));
}

// Containers hold their controls at every scale: a control inside its container at 100 % is
// inside at this scale; the one control the form lets stick out (the add page's second mode
// radio, 6 px past the tab control's right edge: its caption ends well before) sticks out no
// further than its overhang scaled.
TEST_P(AtScale, EveryControlLiesInsideItsContainer) {
  for (const ControlForm& form : Form()) {
    if (!OnScreen(form) || form.container == Control::MainWindow) continue;
    SCOPED_TRACE(Name(form));
    const ControlForm& container = FormOf(form.container);
    const Rect& box = At(form.container);
    const Rect& r = At(form.id);
    if (Inside(FormRect(form), container.width, container.height)) {
      EXPECT_TRUE(Inside(r, Width(box), Height(box)))
          << r.left << "," << r.top << "-" << r.right << "," << r.bottom << " in " << Width(box)
          << " x " << Height(box);
    } else {
      EXPECT_EQ(form.id, Control::AddModeTwoRadio) << "sticks out of its container at 100 %";
      const int overhang = form.x + form.width - container.width;
      EXPECT_LE(r.right - Width(box), Scaled(overhang, dpi()) + 1);
      EXPECT_TRUE(Inside(Rect{r.left, r.top, Width(box), r.bottom}, Width(box), Height(box)));
    }
  }
  // The tab control, the window's one child, within the window's outer size.
  EXPECT_TRUE(Inside(At(Control::JobPages), scaled().windowWidth, scaled().windowHeight));
}

// Two controls of one container whose edges meet at 100 % (one's right is the other's left,
// or their tops are level) meet at every scale, and edges apart stay apart in the same order.
TEST_P(AtScale, EdgesThatMeetStillMeetAndEdgesApartStayApart) {
  int meeting = 0;
  for (const auto& [a, b] : Siblings()) {
    const auto before = std::pair{Edges(FormRect(*a)), Edges(FormRect(*b))};
    const auto after = std::pair{Edges(At(a->id)), Edges(At(b->id))};
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        if (!SameAxis(i, j)) continue;
        SCOPED_TRACE(Name(*a) + " " + kEdgeNames[static_cast<std::size_t>(i)] + " / " + Name(*b) +
                     " " + kEdgeNames[static_cast<std::size_t>(j)]);
        const int was =
            before.first[static_cast<std::size_t>(i)] - before.second[static_cast<std::size_t>(j)];
        const int is =
            after.first[static_cast<std::size_t>(i)] - after.second[static_cast<std::size_t>(j)];
        if (was == 0) {
          ++meeting;
          EXPECT_EQ(is, 0);
        } else {
          EXPECT_EQ(is > 0, was > 0);
          EXPECT_NE(is, 0);
        }
      }
    }
  }
  EXPECT_GT(meeting, 20);  // the rows of the form line up on many edges
}

// The form's rows as a user sees them: the caption, its X box, "Y：" and its Y box side by
// side on one level, the boxes of one column above each other.
TEST_P(AtScale, ThePointRowsStayRowsAndColumns) {
  using enum Control;
  EXPECT_EQ(At(StickerPanelX).left, At(CollectedTabX).left);
  EXPECT_EQ(At(StickerPanelX).right, At(FirstStickerX).right);
  EXPECT_EQ(At(StickerPanelY).left, At(DeleteItemY).left);
  EXPECT_EQ(At(FileButtonX).left, At(SentStickerX).left);
  EXPECT_EQ(At(FileButtonY).top, At(FileButtonX).top);
  EXPECT_EQ(At(StickerPanelXCaption).right, At(CollectedTabXCaption).right);
}

TEST_P(AtScale, ControlsApartStayApart) {
  for (const auto& [a, b] : Siblings()) {
    if (Overlap(FormRect(*a), FormRect(*b))) continue;
    EXPECT_FALSE(Overlap(At(a->id), At(b->id))) << Name(*a) << " / " << Name(*b);
  }
}

// What each mode makes of its help label: the long help of mode one lies over the point rows
// it hides, the short help of mode two above them, at every scale as at 100 %.
TEST_P(AtScale, HelpLabelsCoverWhatTheyCoverInEveryMode) {
  for (const Control radio : {Control::DeleteModeOneRadio, Control::DeleteModeTwoRadio,
                              Control::AddModeOneRadio, Control::AddModeTwoRadio}) {
    const ModeLayout& mode = LayoutOf(radio);
    const ControlForm& help = FormOf(mode.helpLabel);
    Rect asMode = FormRect(help);
    asMode.bottom = asMode.top + mode.helpHeight;
    const Rect scaledHelp = PlacedAt(asMode, dpi());
    const ControlForm& frame = FormOf(help.container);
    EXPECT_TRUE(Inside(asMode, frame.width, frame.height)) << Name(help);
    EXPECT_TRUE(Inside(scaledHelp, Width(At(frame.id)), Height(At(frame.id)))) << Name(help);
    for (const ControlForm& other : Form()) {
      if (other.container != help.container || other.id == help.id || !OnScreen(other)) continue;
      SCOPED_TRACE(Name(help) + " in " + std::string(mode.groupCaption) + " / " + Name(other));
      EXPECT_EQ(Within(At(other.id), scaledHelp), Within(FormRect(other), asMode));
      EXPECT_EQ(Overlap(At(other.id), scaledHelp), Overlap(FormRect(other), asMode));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, AtScale, ::testing::Values(120, 144, 168, 192),
                         [](const auto& test) { return "At" + std::to_string(test.param); });

// ---- From one monitor's scale to another's

// Windows suggests the window's new rectangle by scaling the old one; the window keeps the
// suggested top-left and takes its own size at the new scale.
Rect SuggestedByWindows(const Rect& now, int from, int to) {
  return Rect{now.left, now.top, now.left + Scaled(Width(now), to, from),
              now.top + Scaled(Height(now), to, from)};
}

TEST(ScaledForm, AMoveToAnotherScaleKeepsTheSuggestedCornerAndTakesItsOwnSize) {
  const Rect at96{400, 300, 400 + kMainWindowWidth, 300 + kMainWindowHeight};
  const Rect at144 = WindowRectAt(SuggestedByWindows(at96, 96, 144), 144);
  EXPECT_EQ(at144, (Rect{400, 300, 400 + 507, 300 + 555}));
  EXPECT_EQ(WindowRectAt(SuggestedByWindows(at144, 144, 96), 96), at96);
}

// Back and forth between monitors many times: the window's size and every control's place
// come from the form each time, so nothing creeps, however Windows rounds its suggestion.
TEST(ScaledForm, GoingBackAndForthBetweenScalesNeverCreeps) {
  const std::array<int, 6> walk = {120, 144, 168, 120, 192, 96};
  Rect window{10, 20, 10 + kMainWindowWidth, 20 + kMainWindowHeight};
  int dpi = kBaseDpi;
  const ScaledForm first = FormAt(kBaseDpi);
  for (int round = 0; round < 10; ++round) {
    for (const int next : walk) {
      window = WindowRectAt(SuggestedByWindows(window, dpi, next), next);
      dpi = next;
      const ScaledForm now = FormAt(dpi);
      EXPECT_EQ(Width(window), now.windowWidth);
      EXPECT_EQ(Height(window), now.windowHeight);
    }
  }
  EXPECT_EQ(window, (Rect{10, 20, 10 + kMainWindowWidth, 20 + kMainWindowHeight}));
  for (const ControlForm& form : Form()) {
    EXPECT_EQ(FormAt(dpi).controls[static_cast<std::size_t>(form.id)].rect,
              first.controls[static_cast<std::size_t>(form.id)].rect);
  }
}

// ---- The picture boxes' icons

Image Opaque(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  Image image{width, height, {}};
  for (int i = 0; i < width * height; ++i) image.bgra.insert(image.bgra.end(), {b, g, r, 255});
  return image;
}

TEST(ScaledIcons, At96DpiTheFlattenedIconItself) {
  Image icon = Opaque(4, 3, 10, 20, 30);
  icon.bgra[3] = 0;  // one clear pixel, blended with the face
  EXPECT_EQ(IconAt(icon, 0xC0C0C0, kBaseDpi).bgra, FlattenOnto(icon, 0xC0C0C0).bgra);
}

TEST(ScaledIcons, LargerDisplaysGetLargerIconsOfTheSameColours) {
  const Image icon = Opaque(27, 21, 0, 0, 255);
  for (const int dpi : {120, 144, 192}) {
    const Image scaled = IconAt(icon, 0xC0C0C0, dpi);
    EXPECT_EQ(scaled.width, Scaled(27, dpi));
    EXPECT_EQ(scaled.height, Scaled(21, dpi));
    for (std::size_t i = 0; i < scaled.bgra.size(); i += 4) {
      ASSERT_EQ(scaled.bgra[i + 2], 255);
      ASSERT_EQ(scaled.bgra[i + 3], 255);
    }
  }
}

// A clear edge is blended with the face before resampling, so the larger icon's edge shows
// the face's colour, never the black that the clear pixels hold.
TEST(ScaledIcons, ClearPixelsTakeTheFaceNotTheirOwnColour) {
  Image icon = Opaque(4, 4, 0, 0, 0);
  for (std::size_t i = 3; i < icon.bgra.size(); i += 4) icon.bgra[i] = 0;  // all clear black
  const Image scaled = IconAt(icon, 0x808080, 144);
  for (std::size_t i = 0; i < scaled.bgra.size(); i += 4) {
    EXPECT_EQ(scaled.bgra[i], 0x80);
  }
}

}  // namespace
}  // namespace pelloram
