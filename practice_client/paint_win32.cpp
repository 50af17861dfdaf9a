// Drawing the model's boxes at the shell's scale (each box's edges in physical pixels, the
// fonts, pictures and images made at that size): fills, frames and labels with GDI, and the
// pictures pixel by pixel into the same off-screen bitmap (the controls' line pictures blended over
// what lies under them, each sticker's own image, the grain of the backgrounds). <windows.h> first:
// the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "practice_client/control_pictures.h"
#include "practice_client/shell_win32.h"
#include "practice_client/sticker_look.h"
#include "services/pixels_win32.h"
#include "services/utf16.h"

namespace practice {
namespace {

using Kind = Model::Kind;
using Picture = Model::Picture;

constexpr COLORREF kNone = 0xFFFFFFFF;  // no fill or no frame

struct Style {
  COLORREF fill;
  COLORREF border;
  UINT format;
  bool small;
};

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

Style StyleOf(const Model::Box& box) {
  const COLORREF activeGreen = RGB(7, 193, 96);
  const bool pictured = box.picture != Picture::None;
  switch (box.kind) {
    case Kind::Title:
      return {RGB(237, 237, 237), RGB(214, 214, 214), DT_LEFT | DT_VCENTER | DT_SINGLELINE, false};
    case Kind::Button:
    case Kind::Tab:
      // A pictured control sits on the background's grain, as a real toolbar's icons do.
      if (pictured) return {box.active ? RGB(200, 200, 200) : kNone, kNone, kCentred, true};
      return {box.active ? activeGreen : RGB(255, 255, 255), RGB(160, 160, 160), kCentred, true};
    case Kind::Cell:
      return {RGB(255, 255, 255), RGB(200, 200, 200), DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL,
              true};
    case Kind::Message:
      return {RGB(149, 236, 105), RGB(120, 200, 90), DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL,
              true};
    case Kind::Input:
      return {RGB(255, 255, 255), RGB(214, 214, 214), DT_LEFT | DT_TOP | DT_SINGLELINE, false};
    case Kind::Menu:
      return {RGB(255, 255, 255), RGB(120, 120, 120), kCentred, false};
    case Kind::MenuItem:
      return {RGB(226, 226, 226), kNone, kCentred, false};
    case Kind::Text:
      return {kNone, kNone, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS, true};
    case Kind::Area:
      break;
  }
  return {RGB(245, 245, 245), RGB(214, 214, 214), kCentred, false};
}

// The off-screen bitmap's pixels (0x00RRGGBB, top-down), addressed in client coordinates of
// the main window.
struct Canvas {
  std::uint32_t* bits;
  int width;
  int height;
  POINT origin;

  std::uint32_t* At(int x, int y) const {
    x -= origin.x;
    y -= origin.y;
    if (x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    return bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, unsigned alpha) {
  std::uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned a = (under >> shift) & 0xFF;
    const unsigned b = (over >> shift) & 0xFF;
    mixed |= ((b * alpha + a * (255 - alpha) + 127) / 255) << shift;
  }
  return mixed;
}

// The grain is a texture of the screen's own pixels: drawn at every scale, not enlarged.
void Grain(const Canvas& canvas, const RECT& area) {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      std::uint32_t* pixel = canvas.At(x, y);
      if (!pixel) continue;
      const std::uint32_t shade = static_cast<std::uint32_t>(GrainAt(x - area.left, y - area.top));
      std::uint32_t darker = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = (*pixel >> shift) & 0xFF;
        darker |= (c > shade ? c - shade : 0) << shift;
      }
      *pixel = darker;
    }
  }
}

// The line picture (drawn for the scale) centred in the area. The other look is the same
// lines upside down and blue: plainly not the control the user taught.
void DrawLinePicture(const Canvas& canvas, const RECT& area, const LinePicture& picture,
                     bool other) {
  const std::uint32_t colour = other ? 0x2050D0 : kLineColour;
  const int left = area.left + (area.right - area.left - picture.width) / 2;
  const int top = area.top + (area.bottom - area.top - picture.height) / 2;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t ink =
          other ? picture.At(picture.width - 1 - x, picture.height - 1 - y) : picture.At(x, y);
      if (std::uint32_t* pixel = canvas.At(left + x, top + y)) {
        *pixel = Blend(*pixel, colour, ink);
      }
    }
  }
}

// Made at the area's size in physical pixels, so a larger scale shows a sharper image.
void StickerImage(const Canvas& canvas, const RECT& area, const std::string& name) {
  const int side = std::min(area.right - area.left, area.bottom - area.top) * 4 / 5;
  const std::vector<std::uint32_t> pixels = StickerPixels(name, side);
  const int left = area.left + (area.right - area.left - side) / 2;
  const int top = area.top + (area.bottom - area.top - side) / 2;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (std::uint32_t* pixel = canvas.At(left + x, top + y)) {
        *pixel = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(side) +
                        static_cast<std::size_t>(x)];
      }
    }
  }
}

void DrawBox(Shell& shell, HDC dc, const Canvas& canvas, const Model::Box& box) {
  const Style style = StyleOf(box);
  RECT rect = PhysicalRect(shell, box);
  if (style.fill != kNone) {
    HBRUSH brush = CreateSolidBrush(style.fill);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  }
  GdiFlush();  // GDI's drawing reaches the pixels before they are read
  if (box.textured) Grain(canvas, rect);
  if (style.border != kNone) {
    HBRUSH brush = CreateSolidBrush(style.border);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
    GdiFlush();
  }
  if (box.picture == Picture::Sticker) {
    StickerImage(canvas, rect, box.label);
    return;
  }
  if (const LinePicture& picture = PictureOf(box.picture, shell.scale.dpi); !picture.ink.empty()) {
    DrawLinePicture(canvas, rect, picture, box.look == "other");
    return;
  }
  if (box.label.empty()) return;
  SelectObject(dc, style.small ? shell.smallFont : shell.font);
  SetTextColor(dc, box.active && box.kind != Kind::Area ? RGB(255, 255, 255) : RGB(0, 0, 0));
  InflateRect(&rect, -shell.scale.ToPhysical(4), -shell.scale.ToPhysical(3));
  const std::wstring label = pelloram::Wide(box.label);
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect, style.format | DT_NOPREFIX);
  GdiFlush();
}

}  // namespace

std::size_t LayerStart(const std::vector<Model::Box>& boxes, Model::Layer layer) {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (boxes[i].layer == layer) return i;
  }
  return boxes.size();
}

// Drawn off screen first so the window does not flicker while a run clicks quickly.
void PaintBoxes(Shell& shell, HWND window, const std::vector<Model::Box>& boxes,
                std::initializer_list<Model::Layer> layers, POINT origin) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const BITMAPINFO info = pelloram::TopDownBitmapInfo(std::max<LONG>(client.right, 1),
                                                      std::max<LONG>(client.bottom, 1));
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    EndPaint(window, &paint);
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = SelectObject(memory, shell.font);
  FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(memory, TRANSPARENT);
  SetViewportOrgEx(memory, -origin.x, -origin.y, nullptr);
  const Canvas canvas{static_cast<std::uint32_t*>(bits), static_cast<int>(info.bmiHeader.biWidth),
                      static_cast<int>(-info.bmiHeader.biHeight), origin};
  for (const Model::Box& box : boxes) {
    if (std::find(layers.begin(), layers.end(), box.layer) != layers.end()) {
      DrawBox(shell, memory, canvas, box);
    }
  }
  SetViewportOrgEx(memory, 0, 0, nullptr);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &paint);
}

}  // namespace practice
