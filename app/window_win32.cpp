#include "app/window_win32.h"

#include <commctrl.h>
#include <imm.h>
#include <uxtheme.h>

#include <utility>

#include "app/field_rules.h"
#include "app/resource.h"
#include "workflows/run_control.h"

namespace pelloram {
namespace {

constexpr wchar_t kWindowClass[] = L"PelloramMainWindow";
constexpr UINT_PTR kFlashTimer = 1;  // FlashTimer

// Group boxes and the tab control hold real child controls; the notifications those send
// to their parent belong to the main window.
bool ForwardedToMainWindow(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return true;
    default:
      return false;
  }
}

// Group boxes paint only their frame, and the tab control leaves its page area white:
// both get the window's background, so a help label shrinking above them leaves no old
// pixels behind.
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ForwardedToMainWindow(message)) {
    return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
  }
  if (message == WM_ERASEBKGND) {
    RECT area{};
    GetClientRect(window, &area);
    FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return CallPrevious(window, message, wParam, lParam);
}

// Every edit box of the form is read as a number: a typed character reaches it folded
// (full-width digits and minus as ASCII), and the count box refuses what no integer holds.
// The clipboard's text as the box would take it typed; nothing when it holds no text.
std::optional<std::wstring> PasteFor(HWND window, TypedInput accepts) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window)) return std::nullopt;
  std::optional<std::wstring> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data)); chars != nullptr) {
      text = Wide(PastedIntoNumberBox(Narrow(chars), accepts));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

LRESULT TypeIntoNumberBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          TypedInput accepts) {
  if (message == WM_PASTE) {
    // Folded as it arrives, like typing; undoable like any paste.
    if (const std::optional<std::wstring> text = PasteFor(window, accepts)) {
      SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()));
      return 0;
    }
  }
  if (message == WM_CHAR || message == WM_IME_CHAR) {
    const std::optional<char32_t> taken =
        TypedIntoNumberBox(static_cast<char32_t>(wParam), accepts);
    if (!taken) return 0;
    wParam = static_cast<WPARAM>(*taken);
  }
  return CallPrevious(window, message, wParam, lParam);
}

LRESULT CALLBACK IntegerEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TypeIntoNumberBox(window, message, wParam, lParam, TypedInput::IntegerOnly);
}

LRESULT CALLBACK NumberEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TypeIntoNumberBox(window, message, wParam, lParam, TypedInput::AnyCharacter);
}

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

Win32Kind KindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return Win32Kind::Button;
    case ControlKind::GroupBox:
      return Win32Kind::GroupBox;
    case ControlKind::RadioButton:
      return Win32Kind::Radio;
    case ControlKind::Label:
      return Win32Kind::Label;
    case ControlKind::EditBox:
      return Win32Kind::Edit;
    case ControlKind::IntegerEditBox:
      return Win32Kind::IntegerEdit;
    case ControlKind::PictureBox:
      return Win32Kind::Picture;
    case ControlKind::TabControl:
      return Win32Kind::Tab;
    case ControlKind::Timer:
      return Win32Kind::Timer;
    case ControlKind::BalloonTip:
      return Win32Kind::BalloonTip;
  }
  return Win32Kind::None;
}

struct ChildClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ChildClass ClassOf(const ControlForm& form) {
  switch (form.kind) {
    case ControlKind::Button:
      return {WC_BUTTONW, BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 0};
    case ControlKind::RadioButton:
      // Not BS_AUTORADIOBUTTON: checking one from code must leave its partner alone, so
      // the window pairs them itself on a user click.
      return {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::GroupBox:
      return {WC_BUTTONW, BS_GROUPBOX | BS_CENTER | WS_CLIPCHILDREN, 0};
    case ControlKind::Label:
      // SS_NOTIFY makes the label hit-testable, so a click on a help label never falls
      // through to the field hidden beneath it.
      return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY | (form.border ? WS_BORDER : 0u), 0};
    case ControlKind::PictureBox:
      return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY, 0};
    case ControlKind::EditBox:
    case ControlKind::IntegerEditBox:
      return {WC_EDITW, ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::TabControl:
      return {WC_TABCONTROLW, WS_CLIPCHILDREN, 0};
    case ControlKind::Timer:
    case ControlKind::BalloonTip:
      break;
  }
  return {nullptr, 0, 0};
}

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
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  CreateWindowExW(WS_EX_APPWINDOW, kWindowClass, Wide(kMainWindowCaption).c_str(), kStyle, left,
                  top, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  ui_.AttachMainWindow(window_);

  LoadPictures();
  for (const ControlForm& form : Form()) Build(form.id);
  StackInDeclarationOrder();
  ui_.ShowPage(0);
  SetTimer(window_, kFlashTimer, kTimerIntervalMs, nullptr);
  ready_ = true;
  return true;
}

HWND MainWindow::Build(Control control) {
  if (control == Control::MainWindow) return window_;
  Win32Control& item = ui_.Item(control);
  if (item.kind != Win32Kind::None) return item.hwnd;  // built already (containers first)
  const ControlForm& form = FormOf(control);
  switch (form.kind) {
    case ControlKind::Timer:
      ui_.Attach(control, nullptr, Win32Kind::Timer, -1);  // a timer of the main window
      return nullptr;
    case ControlKind::BalloonTip:
      CreateBalloonTip(form);
      return item.hwnd;
    default:
      return CreateChild(form, Build(form.container));
  }
}

HWND MainWindow::CreateChild(const ControlForm& form, HWND parent) {
  const ChildClass childClass = ClassOf(form);
  const auto id = static_cast<INT_PTR>(static_cast<int>(form.id) + Win32Ui::kControlIdBase);
  const HWND child = CreateWindowExW(childClass.exStyle, childClass.name, Wide(form.text).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | childClass.style,
                                     form.x, form.y, form.width, form.height, parent,
                                     reinterpret_cast<HMENU>(id), instance_, nullptr);
  const Win32Kind kind = KindOf(form.kind);
  ui_.Attach(form.id, child, kind, form.container == Control::JobPages ? form.page : -1);
  if (child == nullptr) return nullptr;

  Win32Control& item = ui_.Item(form.id);
  item.colour = form.colour;
  item.centred = form.align == TextAlign::Centre;
  item.wordWrap = form.wordWrap;
  if (form.fontPx > 0) ui_.SetFont(form.id, form.fontPx);

  switch (kind) {
    case Win32Kind::Radio:
      if (form.checked) SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case Win32Kind::GroupBox:
      Subclass(child, &ContainerProc);
      break;
    case Win32Kind::Tab:
      for (std::size_t page = 0; page < kTabPageCaptions.size(); ++page) {
        std::wstring caption = Wide(kTabPageCaptions[page]);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = caption.data();
        SendMessageW(child, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&tab));
      }
      // Classic drawing, as without a visual-styles manifest on Windows: a themed pane is
      // white behind the page's button-face controls (Wine themes it regardless). A blank
      // class list matches no theme class; an empty one would mean "unchanged".
      SetWindowTheme(child, L" ", L" ");
      SendMessageW(child, WM_THEMECHANGED, 0, 0);  // not every comctl32 sends it itself
      Subclass(child, &ContainerProc);
      break;
    case Win32Kind::IntegerEdit:
      ImmAssociateContext(child, nullptr);  // no composition window: digits come as WM_CHAR
      Subclass(child, &IntegerEditProc);
      break;
    case Win32Kind::Edit:
      Subclass(child, &NumberEditProc);
      break;
    default:
      break;
  }
  return child;
}

void MainWindow::CreateBalloonTip(const ControlForm& form) {
  const HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   window_, nullptr, instance_, nullptr);
  if (tip == nullptr) {
    ui_.Attach(form.id, nullptr, Win32Kind::BalloonTip, -1);
    return;
  }
  ui_.AttachBalloonTip(form.id, tip);
  if (form.id == Control::NoteTip) {
    ui_.SetFont(form.id, MulDiv(9, 96, 72), FW_NORMAL);  // 9 pt body text
    SendMessageW(tip, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
  }
}

void MainWindow::StackInDeclarationOrder() {
  // Each control goes below everything declared before it among its siblings, so an
  // earlier control lies above a later one (the help labels above the point rows).
  for (const ControlForm& form : Form()) {
    const Win32Control& item = ui_.Item(form.id);
    if (item.hwnd == nullptr || item.kind == Win32Kind::BalloonTip) continue;
    SetWindowPos(item.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void MainWindow::LoadPictures() {
  for (const Picture picture : {Picture::SmilingFace, Picture::Heart, Picture::Folder}) {
    const auto index = static_cast<std::size_t>(picture);
    decoded_[index] = DecodeResource(instance_, PictureResource(picture));
    flattened_[index].reset();
    if (decoded_[index])
      flattened_[index] = FlattenOnto(*decoded_[index], GetSysColor(COLOR_BTNFACE));
  }
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

LRESULT MainWindow::OnControlColour(UINT message, HDC dc, HWND child) {
  const auto control = ui_.ControlOf(child);
  if (!control) {
    return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
  }
  // Classic controls take their text colour from here: the radios flash through it.
  SetTextColor(dc, ui_.Item(*control).colour);
  const int background = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
  SetBkColor(dc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

void MainWindow::Draw(const DRAWITEMSTRUCT& item) {
  const auto control = ui_.ControlOf(item.hwndItem);
  if (!control) return;
  const Win32Control& drawn = ui_.Item(*control);
  if (drawn.kind == Win32Kind::Label) DrawLabel(item, drawn);
  if (drawn.kind == Win32Kind::Picture) DrawPicture(item, FormOf(*control).picture);
}

void MainWindow::DrawLabel(const DRAWITEMSTRUCT& item, const Win32Control& label) {
  const RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  std::wstring text = WindowText(item.hwndItem);
  if (text.empty()) return;
  const HGDIOBJ oldFont = SelectObject(item.hDC, label.font ? static_cast<HGDIOBJ>(label.font.get())
                                                            : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(item.hDC, label.colour);
  SetBkMode(item.hDC, TRANSPARENT);
  UINT flags = DT_NOPREFIX | (label.centred ? DT_CENTER : DT_LEFT);
  const int length = static_cast<int>(text.size());
  if (label.wordWrap) {
    // DrawText centres only single lines vertically: measure the wrapped block first.
    flags |= DT_WORDBREAK;
    RECT block = area;
    DrawTextW(item.hDC, text.data(), length, &block, flags | DT_CALCRECT);
    const int blockHeight = block.bottom - block.top;
    RECT target = area;
    target.top += (area.bottom - area.top - blockHeight) / 2;
    target.bottom = target.top + blockHeight;
    DrawTextW(item.hDC, text.data(), length, &target, flags);
  } else {
    RECT target = area;
    DrawTextW(item.hDC, text.data(), length, &target, flags | DT_SINGLELINE | DT_VCENTER);
  }
  SelectObject(item.hDC, oldFont);
}

void MainWindow::DrawPicture(const DRAWITEMSTRUCT& item, Picture picture) {
  const RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  const auto& image = flattened_[static_cast<std::size_t>(picture)];
  if (!image) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image->width;
  info.bmiHeader.biHeight = -image->height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int left = area.left + (area.right - area.left - image->width) / 2;
  const int top = area.top + (area.bottom - area.top - image->height) / 2;
  SetDIBitsToDevice(item.hDC, left, top, static_cast<DWORD>(image->width),
                    static_cast<DWORD>(image->height), 0, 0, 0, static_cast<UINT>(image->height),
                    image->bgra.data(), &info, DIB_RGB_COLORS);
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
