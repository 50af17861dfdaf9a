// The main window itself: its class, its window procedure, the focus kept across a
// deactivation, the commands of its controls, and the message loop.
#include "app/window_win32.h"

#include <commctrl.h>

#include <utility>

#include "app/resource.h"
#include "services/dpi_win32.h"
#include "workflows/run_control.h"

namespace pelloram {

namespace {

constexpr wchar_t kWindowClass[] = L"PelloramMainWindow";
constexpr UINT_PTR kFlashTimer = 1;  // FlashTimer

// Sent to a per-monitor aware window before it is moved to a monitor of another scale
// (Windows 10, version 1703 on), for the size it will take there; older headers lack it.
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE
constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED

Rect RectOf(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Win32Ui& ui, Tool& tool)
    : instance_(instance), ui_(ui), tool_(tool) {}

HWND MainWindow::FindRunning() {
  return FindWindowW(kWindowClass, Wide(kMainWindowCaption).c_str());
}

MainWindow::~MainWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

bool MainWindow::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::Procedure;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_PELLORAM));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PELLORAM), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  // Fixed frame: no sizing border, no maximise box.
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  CreateWindowExW(WS_EX_APPWINDOW, kWindowClass, Wide(kMainWindowCaption).c_str(), kStyle,
                  (screenWidth - kMainWindowWidth) / 2, (screenHeight - kMainWindowHeight) / 2,
                  kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  ui_.AttachMainWindow(window_);

  // Made at 100 % in the middle of the primary screen, the window now knows the scale of
  // its monitor: it takes its size there, centred as before (at 100 % it stays as it is).
  ui_.SetDpi(DpiOf(window_));
  const ScaledForm scaled = FormAt(ui_.Dpi());
  SetWindowPos(window_, nullptr, (screenWidth - scaled.windowWidth) / 2,
               (screenHeight - scaled.windowHeight) / 2, scaled.windowWidth, scaled.windowHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);

  LoadPictures();
  for (const ControlForm& form : Form()) Build(form.id);
  StackInDeclarationOrder();
  ui_.ShowPage(0);
  SetTimer(window_, kFlashTimer, kTimerIntervalMs, nullptr);
  ready_ = true;
  return true;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = window_;
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) OnCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      const HWND tab = ui_.Item(Control::JobPages).hwnd;
      if (ready_ && header->code == TCN_SELCHANGE && header->hwndFrom == tab) {
        const int page = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
        ui_.ShowPage(page);
        ui_.RaiseEvent(Control::JobPages, Event::PageChanged);
      }
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(message, reinterpret_cast<HDC>(wParam),
                             reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (ready_ && wParam == kFlashTimer) ui_.RaiseEvent(Control::FlashTimer, Event::Tick);
      return 0;
    case WM_HOTKEY:
      if (ready_) DispatchHotkey(tool_, static_cast<std::int64_t>(wParam));
      return 0;
    case WM_ACTIVATE:
      if (OnActivate(LOWORD(wParam), HIWORD(wParam) != 0)) return 0;
      break;
    case kGetDpiScaledSize: {
      // The size the window takes at the new scale is its own, so that the rectangle
      // WM_DPICHANGED then suggests has it already.
      const ScaledForm scaled = FormAt(static_cast<int>(LOWORD(wParam)));
      auto* size = reinterpret_cast<SIZE*>(lParam);
      size->cx = scaled.windowWidth;
      size->cy = scaled.windowHeight;
      return TRUE;
    }
    case kDpiChanged:
      OnDpiChanged(static_cast<int>(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SYSCOLORCHANGE:
      LoadPictures();  // the heart's transparency is blended over the button face
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    case WM_DESTROY:
      KillTimer(window, kFlashTimer);
      if (ready_) ui_.RaiseEvent(Control::MainWindow, Event::Destroying);
      ready_ = false;
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ui_.DetachAll();
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int MainWindow::DpiOf(HWND window) { return UsableDpi(WindowDpi(window)); }

void MainWindow::LayOut(int dpi) {
  ui_.SetDpi(dpi);  // the controls' own fonts afresh, and the seam's sizes from now on
  LoadPictures();
  for (const ControlForm& form : Form()) {
    const Win32Control& item = ui_.Item(form.id);
    if (item.hwnd == nullptr || item.kind == Win32Kind::BalloonTip) continue;
    // From the size the control has at 100 % now: a help label keeps its mode's.
    const Rect at = PlacedAt(item.formRect, ui_.Dpi());
    SetWindowPos(item.hwnd, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  const Rect to = WindowRectAt(RectOf(suggested), dpi);
  SetWindowPos(window_, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(dpi);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool MainWindow::OnActivate(WORD state, bool minimised) {
  // Top-level windows do not remember their focus by themselves: keep the caret in the
  // field it was in across a message box, the folder picker or another program.
  if (state == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus)) focusBeforeDeactivation_ = focus;
    return false;
  }
  const HWND saved = std::exchange(focusBeforeDeactivation_, nullptr);
  if (minimised || saved == nullptr || !IsWindow(saved) || !IsWindowVisible(saved)) return false;
  // Only edit boxes: focusing an unchecked radio would click it.
  const auto control = ui_.ControlOf(saved);
  if (!control) return false;
  const Win32Kind kind = ui_.Item(*control).kind;
  if (kind != Win32Kind::Edit && kind != Win32Kind::IntegerEdit) return false;
  SetFocus(saved);
  return true;
}

void MainWindow::OnCommand(UINT code, HWND child) {
  if (!ready_) return;
  const auto control = ui_.ControlOf(child);
  if (!control) return;
  switch (ui_.Item(*control).kind) {
    case Win32Kind::Button:
      if (code == BN_CLICKED) ui_.RaiseEvent(*control, Event::Clicked);
      break;
    case Win32Kind::Radio:
      // A plain radio button reports the second click of a double click separately.
      if (code == BN_CLICKED || code == BN_DOUBLECLICKED) OnRadioClicked(*control);
      break;
    case Win32Kind::Edit:
    case Win32Kind::IntegerEdit:
      if (code == EN_CHANGE && !ui_.IsBeingWritten(child)) {
        ui_.RaiseEvent(*control, Event::ContentChanged);
      } else if (code == EN_KILLFOCUS && ui_.Item(*control).kind == Win32Kind::IntegerEdit) {
        ui_.RaiseEvent(*control, Event::FocusLost);
      }
      break;
    default:
      break;
  }
}

void MainWindow::OnRadioClicked(Control radio) {
  // Radios pair up by container: the clicked one is checked, its partner cleared.
  const ControlForm& clicked = FormOf(radio);
  for (const ControlForm& form : Form()) {
    if (form.kind != ControlKind::RadioButton || form.container != clicked.container ||
        form.page != clicked.page) {
      continue;
    }
    SendMessageW(ui_.Item(form.id).hwnd, BM_SETCHECK,
                 form.id == radio ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  ui_.RaiseEvent(radio, Event::Clicked);
}

int RunMessageLoop(HWND mainWindow) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (!IsWindow(mainWindow)) break;
  }
  return 0;
}

}  // namespace pelloram
