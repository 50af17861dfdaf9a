// The picture boxes: PNG resources decoded once and drawn over the button face, at the
// window's scale.
#include "app/resource.h"
#include "app/window_win32.h"
#include "services/pixels_win32.h"

namespace pelloram {

namespace {

int PictureResource(Picture picture) {
  switch (picture) {
    case Picture::SmilingFace:
      return IDR_PICTURE_SMILING_FACE;
    case Picture::Heart:
      return IDR_PICTURE_HEART;
    case Picture::Folder:
      return IDR_PICTURE_FOLDER;
    case Picture::None:
      break;
  }
  return 0;
}

std::optional<Image> DecodeResource(HINSTANCE instance, int id) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (found == nullptr) return std::nullopt;
  const HGLOBAL loaded = LoadResource(instance, found);
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
  if (bytes == nullptr) return std::nullopt;
  return DecodePng({bytes, SizeofResource(instance, found)});
}

}  // namespace

void MainWindow::LoadPictures() {
  for (const Picture picture : {Picture::SmilingFace, Picture::Heart, Picture::Folder}) {
    const auto index = static_cast<std::size_t>(picture);
    decoded_[index] = DecodeResource(instance_, PictureResource(picture));
    flattened_[index].reset();
    if (decoded_[index])
      flattened_[index] = IconAt(*decoded_[index], GetSysColor(COLOR_BTNFACE), ui_.Dpi());
  }
}

void MainWindow::DrawPicture(const DRAWITEMSTRUCT& item, Picture picture) {
  const RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  const auto& image = flattened_[static_cast<std::size_t>(picture)];
  if (!image) return;
  const BITMAPINFO info = TopDownBitmapInfo(image->width, image->height);
  const int left = area.left + (area.right - area.left - image->width) / 2;
  const int top = area.top + (area.bottom - area.top - image->height) / 2;
  SetDIBitsToDevice(item.hDC, left, top, static_cast<DWORD>(image->width),
                    static_cast<DWORD>(image->height), 0, 0, 0, static_cast<UINT>(image->height),
                    image->bgra.data(), &info, DIB_RGB_COLORS);
}

}  // namespace pelloram
