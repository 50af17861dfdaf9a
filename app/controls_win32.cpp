// The main window's controls, made from the form's rows: the child windows, the tab
// control's pages, the balloon tips, and the subclassing of containers and number boxes.
// First: it brings <windows.h>, which the other Win32 headers depend on.
// clang-format off
#include "app/window_win32.h"
// clang-format on

#include <commctrl.h>
#include <imm.h>
#include <uxtheme.h>

#include "app/field_rules.h"

namespace pelloram {

namespace {

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
  const Rect at = PlacedAt(form, ui_.Dpi()).rect;
  const HWND child = CreateWindowExW(childClass.exStyle, childClass.name, Wide(form.text).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | childClass.style,
                                     at.left, at.top, at.right - at.left, at.bottom - at.top,
                                     parent, reinterpret_cast<HMENU>(id), instance_, nullptr);
  const Win32Kind kind = KindOf(form.kind);
  ui_.Attach(form.id, child, kind, form.container == Control::JobPages ? form.page : -1,
             FormRect(form));
  if (child == nullptr) return nullptr;

  Win32Control& item = ui_.Item(form.id);
  item.colour = form.colour;
  item.centred = form.align == TextAlign::Centre;
  item.wordWrap = form.wordWrap;
  if (form.fontPx > 0) ui_.SetFont(form.id, form.fontPx);  // drawn at the window's scale

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
    ui_.SetFont(form.id, MulDiv(9, kBaseDpi, 72), FW_NORMAL);  // 9 pt body text, scaled
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

}  // namespace pelloram
