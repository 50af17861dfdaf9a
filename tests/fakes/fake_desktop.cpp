#include "tests/fakes/fake_desktop.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace pelloram::testing {

WindowHandle FakeDesktop::AddWindow(std::string className, std::string title, Rect rect,
                                    Point clientOffset, std::uint32_t process) {
  const WindowHandle handle = nextHandle_++;
  windows_[handle] = Window{std::move(className),
                            std::move(title),
                            rect,
                            clientOffset,
                            true,
                            true,
                            false,
                            process,
                            nextZ_++};
  return handle;
}

void FakeDesktop::BringToTop(WindowHandle handle) { windows_.at(handle).z = nextZ_++; }

void FakeDesktop::At(std::uint32_t time, std::function<void()> action) {
  actions_.emplace(time, std::move(action));
}

void FakeDesktop::AtByItself(std::uint32_t time, std::function<void()> action) {
  const auto it = actions_.emplace(time, std::move(action));
  byItself_.insert(&it->second);
}

std::vector<InputRecord> FakeDesktop::Clicks() const {
  std::vector<InputRecord> out;
  std::copy_if(inputs.begin(), inputs.end(), std::back_inserter(out),
               [](const InputRecord& r) { return r.kind == InputRecord::Kind::Click; });
  return out;
}

std::vector<InputRecord> FakeDesktop::Keys() const {
  std::vector<InputRecord> out;
  std::copy_if(inputs.begin(), inputs.end(), std::back_inserter(out),
               [](const InputRecord& r) { return r.kind != InputRecord::Kind::Click; });
  return out;
}

std::vector<Point> FakeDesktop::ClickPoints() const {
  std::vector<Point> points;
  for (const auto& click : Clicks()) points.push_back(click.at);
  return points;
}

std::vector<WindowHandle> FakeDesktop::FindTopLevelWindows(std::string_view className,
                                                           std::string_view title) {
  std::vector<std::pair<int, WindowHandle>> found;
  for (const auto& [handle, window] : windows_) {
    if (!window.exists) continue;
    if (!className.empty() && window.className != className) continue;
    if (!title.empty() && window.title != title) continue;
    found.emplace_back(-window.z, handle);
  }
  std::sort(found.begin(), found.end());
  std::vector<WindowHandle> handles;
  for (const auto& entry : found) handles.push_back(entry.second);
  return handles;
}

bool FakeDesktop::IsWindowShown(WindowHandle window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.exists && it->second.shown;
}

bool FakeDesktop::IsWindowMinimised(WindowHandle window) {
  return IsWindowShown(window) && windows_.at(window).minimised;
}

bool FakeDesktop::WindowExists(WindowHandle window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.exists;
}

std::uint32_t FakeDesktop::ProcessOf(WindowHandle window) {
  return WindowExists(window) ? windows_.at(window).process : 0;
}

WindowHandle FakeDesktop::TopLevelWindowAt(Point screen) {
  WindowHandle top = 0;
  int topZ = 0;
  for (const auto& [handle, window] : windows_) {
    const Rect& r = window.rect;
    const bool inside =
        screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom;
    if (!window.exists || !window.shown || !inside || (top != 0 && window.z < topZ)) continue;
    top = handle;
    topZ = window.z;
  }
  return top;
}

std::vector<WindowHandle> FakeDesktop::ShownWindowsOf(std::uint32_t process) {
  std::vector<WindowHandle> found;
  for (const auto& [handle, window] : windows_) {
    if (window.exists && window.shown && window.process == process) found.push_back(handle);
  }
  return found;
}

WindowHandle FakeDesktop::ForegroundWindow() {
  if (foreground != 0) return foreground;
  WindowHandle top = 0;
  int topZ = 0;
  for (const auto& [handle, window] : windows_) {
    if (!window.exists || !window.shown || (top != 0 && window.z < topZ)) continue;
    top = handle;
    topZ = window.z;
  }
  return top;
}

bool FakeDesktop::BringToFront(WindowHandle window) {
  if (!IsWindowShown(window) || refuseForeground) return false;
  BringToTop(window);
  return true;
}

bool FakeDesktop::ReadWindowRect(WindowHandle window, Rect& rect) {
  const auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.exists) return false;
  rect = it->second.rect;
  return true;
}

std::string FakeDesktop::WindowTitle(WindowHandle window) {
  return WindowExists(window) ? windows_.at(window).title : std::string();
}

bool FakeDesktop::MoveWindowTo(WindowHandle window, int left, int top, int width, int height) {
  const auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.exists) return false;
  if (!windowsStayPut) it->second.rect = Rect{left, top, left + width, top + height};
  moved.push_back(window);
  if (!windowsStayPut && onMoved) onMoved(window);
  NoteMoves();
  return true;
}

bool FakeDesktop::ClientOriginToScreen(WindowHandle window, Point& origin) {
  const auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.exists) return false;
  origin = Point{origin.x + it->second.rect.left + it->second.clientOffset.x,
                 origin.y + it->second.rect.top + it->second.clientOffset.y};
  return true;
}

bool FakeDesktop::ReadCursor(Point& screen) {
  screen = cursor;
  return true;
}

ClickResult FakeDesktop::Click(Point screen, MouseButton button) {
  if (beforeClick) beforeClick();
  if (refuseInput) return ClickResult::Refused;
  if (divertedClicks > 0) {
    --divertedClicks;
    return ClickResult::Missed;
  }
  // Pressed where the seam put the pointer; the pointer is back where it was.
  inputs.push_back({InputRecord::Kind::Click, now, screen, button, 0});
  if (onInput) onInput(inputs.back());
  if (onClick) onClick(screen, button);
  NoteMoves();
  return ClickResult::Done;
}

bool FakeDesktop::SendKey(int virtualKey, bool keyUp) {
  if (refuseInput) return false;
  inputs.push_back({keyUp ? InputRecord::Kind::KeyUp : InputRecord::Kind::KeyDown, now, cursor,
                    MouseButton::Left, virtualKey});
  if (onInput) onInput(inputs.back());
  if (onKey) onKey(virtualKey, keyUp);
  NoteMoves();
  return true;
}

bool FakeDesktop::PutClipboardText(WindowHandle, std::string_view text,
                                   std::optional<std::string>* replaced) {
  ++clipboardAttempts;
  if (clipboardRefusals > 0) {
    --clipboardRefusals;
    return false;
  }
  if (int& refusals = clipboardRefusalsFor[std::string(text)]; refusals > 0) {
    --refusals;
    return false;
  }
  if (replaced) *replaced = clipboardHasText ? std::optional<std::string>(clipboard) : std::nullopt;
  clipboard = std::string(text);
  clipboardHasText = true;
  return true;
}

bool FakeDesktop::ClearClipboard(WindowHandle) {
  ++clipboardAttempts;
  if (clipboardRefusals > 0) {
    --clipboardRefusals;
    return false;
  }
  clipboard.clear();
  clipboardHasText = false;
  return true;
}

void FakeDesktop::ForEachFolderEntry(std::string_view folder, std::string_view,
                                     const FolderEntry& take) {
  const std::u8string bytes(folder.begin(), folder.end());
  std::error_code error;
  std::filesystem::directory_iterator it(std::filesystem::path(bytes), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code kindError;
    const std::u8string name = it->path().filename().u8string();
    take(std::string(name.begin(), name.end()), it->is_directory(kindError));
  }
}

bool FakeDesktop::FileExists(std::string_view path) {
  return !missingFiles.contains(std::string(path));
}

bool FakeDesktop::FolderExists(std::string_view path) {
  return !missingFolders.contains(std::string(path));
}

std::optional<std::string> FakeDesktop::ReadFileStart(std::string_view path, std::size_t bytes) {
  if (!FileExists(path)) return std::nullopt;
  const auto it = fileStarts.find(std::string(path));
  return (it == fileStarts.end() ? std::string("GIF89a") : it->second).substr(0, bytes);
}

bool FakeDesktop::ActionDue(std::uint32_t time) const {
  return static_cast<std::int32_t>(time - now) <= 0;
}

bool FakeDesktop::ActionDue() const {
  return !actions_.empty() && ActionDue(actions_.begin()->first);
}

namespace {

// A plain window's own colour, from its handle, so two plain windows never look alike.
void FillPlain(Image& picture, WindowHandle handle) {
  std::uint64_t h = (handle + 1) * 0x9E3779B97F4A7C15ULL;
  h ^= h >> 31;
  const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                                 static_cast<std::uint8_t>(h >> 16), 255};
  for (std::size_t i = 0; i < picture.bgra.size(); i += 4) std::copy_n(pixel, 4, &picture.bgra[i]);
}

}  // namespace

const Image& FakeDesktop::PictureOf(WindowHandle handle, const Window& window) {
  const int width = window.rect.right - window.rect.left;
  const int height = window.rect.bottom - window.rect.top;
  Painted& painted = painted_[handle];
  const bool painter = static_cast<bool>(window.paint);
  if (painted.width == width && painted.height == height &&
      painted.version == window.paintVersion && painted.painter == painter) {
    return painted.picture;
  }
  painted.painter = painter;
  painted.width = width;
  painted.height = height;
  painted.version = window.paintVersion;
  if (painted.picture.width != width || painted.picture.height != height) {
    painted.picture.width = width;
    painted.picture.height = height;
    painted.picture.bgra.assign(static_cast<std::size_t>(width) * height * 4, 0);
  }
  if (window.paint) {
    ++paints;
    window.paint(painted.picture);
  } else {
    FillPlain(painted.picture, handle);
  }
  return painted.picture;
}

void FakeDesktop::NoteMoves() {
  if (screenLagMs <= 0) return;
  const auto lag = static_cast<std::uint32_t>(screenLagMs);
  for (const auto& [handle, window] : windows_) {
    const auto seen = seenAt_.try_emplace(handle, window.rect).first;
    if (seen->second == window.rect) continue;
    const Rect was = std::exchange(seen->second, window.rect);
    // A window that is not on the screen (a popup placed before it shows) has no old place.
    if (!window.exists || !window.shown || window.minimised) {
      stale_.erase(handle);
      continue;
    }
    // Moved again before the screen caught up: it still shows its first old place.
    const auto stale = stale_.find(handle);
    if (stale != stale_.end() && !ActionDue(stale->second.since + lag)) {
      stale->second.since = now;
      continue;
    }
    // Never drawn at its old size: nothing old to show, the new place shows at once.
    const auto painted = painted_.find(handle);
    if (painted == painted_.end() || painted->second.width != was.right - was.left ||
        painted->second.height != was.bottom - was.top) {
      stale_.erase(handle);
      continue;
    }
    stale_[handle] = Stale{was, painted->second.picture, now};
  }
}

bool FakeDesktop::CaptureScreen(const Rect& area, Image& picture) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (screenUnreadable || width <= 0 || height <= 0) return false;
  ++captures;
  lastCaptureAt = now;
  NoteMoves();
  // Where the screen shows each window, and what: with a lag, a window moved a moment ago
  // still shows at its old place.
  const auto staleOf = [this](WindowHandle handle) -> const Stale* {
    const auto it = stale_.find(handle);
    if (it == stale_.end()) return nullptr;
    if (ActionDue(it->second.since + static_cast<std::uint32_t>(screenLagMs))) {
      stale_.erase(it);
      return nullptr;
    }
    return &it->second;
  };
  std::vector<std::pair<int, WindowHandle>> order;
  for (const auto& [handle, window] : windows_) {
    if (window.exists && window.shown && !window.minimised) order.emplace_back(window.z, handle);
  }
  std::sort(order.begin(), order.end());
  const auto shownAt = [&](WindowHandle handle) -> const Rect& {
    const Stale* stale = staleOf(handle);
    return stale ? stale->rect : windows_.at(handle).rect;
  };
  // What lies under a window that covers the whole area is never seen: not drawn.
  auto first = order.begin();
  bool covered = false;
  for (auto it = order.begin(); it != order.end(); ++it) {
    const Rect& r = shownAt(it->second);
    if (r.left <= area.left && r.top <= area.top && r.right >= area.right &&
        r.bottom >= area.bottom) {
      first = it;
      covered = true;
    }
  }
  // The caller's buffer is reused: a run takes a picture before every click.
  picture.width = width;
  picture.height = height;
  picture.bgra.resize(static_cast<std::size_t>(width) * height * 4);
  if (!covered) {
    // Black where no window lies.
    constexpr std::uint8_t kBlack[4] = {0, 0, 0, 255};
    std::uint8_t* pixel = picture.bgra.data();
    for (std::size_t i = 0; i < picture.bgra.size(); i += 4) std::copy_n(kBlack, 4, pixel + i);
  }
  // Each window, lowest first, over what is below it.
  for (auto it = first; it != order.end(); ++it) {
    const Window& window = windows_.at(it->second);
    const Stale* stale = staleOf(it->second);
    const Rect& r = stale ? stale->rect : window.rect;
    const int left = std::max(r.left, area.left), right = std::min(r.right, area.right);
    const int top = std::max(r.top, area.top), bottom = std::min(r.bottom, area.bottom);
    if (left >= right || top >= bottom) continue;
    const Image& own = stale ? stale->picture : PictureOf(it->second, window);
    for (int y = top; y < bottom; ++y) {
      std::copy_n(own.bgra.data() + own.Offset(left - r.left, y - r.top), (right - left) * 4,
                  picture.bgra.data() + picture.Offset(left - area.left, y - area.top));
    }
  }
  BlackenOffScreen(area, picture);
  return true;
}

void FakeDesktop::BlackenOffScreen(const Rect& area, Image& picture) const {
  // Nearly every picture lies on one monitor: nothing to blacken, and no look at each pixel.
  if (std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& monitor) {
        const Rect& m = monitor.area;
        return m.left <= area.left && m.top <= area.top && m.right >= area.right &&
               m.bottom >= area.bottom;
      })) {
    return;
  }
  constexpr std::uint8_t kBlack[4] = {0, 0, 0, 255};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const bool shown = std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& m) {
        return Contains(m.area, Point{x, y});
      });
      if (!shown)
        std::copy_n(kBlack, 4, picture.bgra.data() + picture.Offset(x - area.left, y - area.top));
    }
  }
}

void FakeDesktop::Sleep(int milliseconds) {
  sleeps.push_back(milliseconds);
  now += static_cast<std::uint32_t>(std::max(milliseconds, 0));
  // Other programs go on; the tool's own messages wait.
  for (auto it = actions_.begin(); it != actions_.end() && ActionDue(it->first);) {
    if (!byItself_.erase(&it->second)) {
      ++it;
      continue;
    }
    auto action = std::move(it->second);
    it = actions_.erase(it);
    action();
    NoteMoves();
  }
}

PendingMessage FakeDesktop::PeekPending() {
  if (ActionDue()) return PendingMessage::Other;
  return quitPosted ? PendingMessage::Quit : PendingMessage::None;
}

void FakeDesktop::DispatchNext() {
  if (!ActionDue()) return;
  byItself_.erase(&actions_.begin()->second);
  auto action = std::move(actions_.begin()->second);
  actions_.erase(actions_.begin());
  ++dispatched;
  action();
  NoteMoves();
}

PendingMessage FakeDesktop::RemoveAndDispatch(int& quitExitCode) {
  if (ActionDue()) {
    DispatchNext();
    return PendingMessage::Other;
  }
  if (quitPosted) {
    quitPosted = false;
    quitExitCode = quitCode_;
    return PendingMessage::Quit;
  }
  return PendingMessage::None;
}

void FakeDesktop::PostQuit(int exitCode) {
  quitPosted = true;
  quitCode_ = exitCode;
}

void FakeDesktop::WaitForMessage(int timeoutMilliseconds) {
  ++waits;
  if (ActionDue() || quitPosted) return;
  std::uint32_t until = now + static_cast<std::uint32_t>(std::max(timeoutMilliseconds, 0));
  if (!actions_.empty() && static_cast<std::int32_t>(actions_.begin()->first - until) < 0) {
    until = actions_.begin()->first;
  }
  now = until;
}

}  // namespace pelloram::testing
