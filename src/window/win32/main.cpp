// Form1 on Windows, with the Win32 API alone: creates the window and its controls and forwards
// their events to Form1's handlers. Everything the handlers do lives in Form1.cpp.
//
// The window procedure only dispatches: one OnXxx handler per message. The window behaves as a
// dialog does for the keyboard: IsDialogMessage in the message loop moves the focus with Tab, and
// Enter presses the focused button, which is drawn as the default button while it has the focus.
//
// The window is laid out at the DPI of the screen it is on, and anew when it moves to a screen of
// another DPI (the manifest declares the program aware of each screen's DPI, on Windows 10 version
// 1703 and later; before, of the system's DPI, which is then every screen's to the program).

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <string>

#include "platform/Win32Text.h"
#include "window/Form1.h"

namespace {

using Form1Layout::Rect;

// Control ids. IsDialogMessage sends IDOK (1) for Enter outside a button and IDCANCEL (2) for
// Escape; no control has those ids, so both do nothing, as on a form with no default or cancel
// button.
enum ControlId : int {
  kIdCmdPlay = 101,
  kIdSndStop = 102,
  kIdTxtVers0 = 110,  // txtVers(0), the start box; txtVers(1) follows it
  kIdTxtVers1 = 111,
  kIdLabel1 = 120,
  kIdLabel2 = 121,
};
constexpr UINT_PTR kTimer1Id = 1;

constexpr wchar_t kClassName[] = L"Brumbesang.Form1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size
constexpr DWORD kExStyle = 0;

// The dialog font of Windows: "MS Shell Dlg 2" stands for the system's dialog typeface, 8 points.
// Captions that do not fit their controls in it are drawn smaller, down to 7 points.
constexpr wchar_t kFontFace[] = L"MS Shell Dlg 2";
constexpr int kFontPoints = 8;
// What a push button keeps free on each side of its caption, in pixels at 96 dpi.
constexpr int kButtonMargin = 4;

// The controls in tab order (the play button, the stop button, the start box, the end box), each
// label just before its box, so that a screen reader names the box after it; labels take no focus,
// so Tab passes them by. BS_NOTIFY: the buttons report when they get the focus, to be drawn as the
// default button.
struct Control {
  int id;
  const wchar_t* windowClass;
  const char* text;
  DWORD style, exStyle;
  Rect rect;
};
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;
constexpr DWORD kBox = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr wchar_t kEdit[] = L"EDIT";
constexpr Control kControls[] = {
    {kIdCmdPlay, L"BUTTON", Form1Layout::kCmdPlayCaption, kButton, 0, Form1Layout::kCmdPlay},
    {kIdSndStop, L"BUTTON", Form1Layout::kSndStopCaption, kButton, 0, Form1Layout::kSndStop},
    {kIdLabel1, L"STATIC", Form1Layout::kLabel1Caption, SS_LEFT, 0, Form1Layout::kLabel1},
    {kIdTxtVers0, kEdit, Form1Layout::kTxtVersInitial, kBox, WS_EX_CLIENTEDGE,
     Form1Layout::kTxtVers0},
    {kIdLabel2, L"STATIC", Form1Layout::kLabel2Caption, SS_LEFT, 0, Form1Layout::kLabel2},
    {kIdTxtVers1, kEdit, Form1Layout::kTxtVersInitial, kBox, WS_EX_CLIENTEDGE,
     Form1Layout::kTxtVers1},
};

// A function of user32.dll that Windows 7 may lack (`Function` is its pointer type), looked up when
// the program runs, so that it starts on every Windows; null where there is none.
template <typename Function>
Function FromUser32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

class Win32Form1 final : public Form1Controls {
 public:
  explicit Win32Form1(HINSTANCE instance) : instance_(instance) {}

  static bool Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Form1::WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }

  // Creates the window, which takes its size once it knows its screen's DPI (OnCreate).
  bool Create() {
    hwnd_ = CreateWindowExW(kExStyle, kClassName, Wide(Form1Layout::kCaption).c_str(), kStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, Form1Layout::kClientWidth,
                            Form1Layout::kClientHeight, nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
  }

  // Shows the window, which on activation puts the focus on the first control in tab order,
  // "Spill vers!", and runs the message loop until the window is gone. Returns the program's exit
  // status.
  int Run(int show) {
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  }

  // ---- Form1Controls ----
  std::string txtVersText(int index) override {
    HWND box = txtVers_[index];
    std::wstring text(GetWindowTextLengthW(box) + 1, L'\0');
    text.resize(GetWindowTextW(box, &text[0], static_cast<int>(text.size())));
    return Narrow(text);
  }
  // Raises EN_CHANGE, and so txtVers_Change, again before it returns.
  void SetTxtVersText(int index, const std::string& text) override {
    SetWindowTextW(txtVers_[index], Wide(text).c_str());
  }
  void SetTimer1Enabled(bool enabled) override {
    if (enabled && !timer1_) SetTimer(hwnd_, kTimer1Id, Form1Layout::kTimer1IntervalMs, nullptr);
    if (!enabled && timer1_) KillTimer(hwnd_, kTimer1Id);
    timer1_ = enabled;
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Form1* self;
    if (message == WM_NCCREATE) {
      self = static_cast<Win32Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Win32Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return self != nullptr ? self->HandleMessage(message, wParam, lParam)
                           : DefWindowProcW(hwnd, message, wParam, lParam);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        return OnCreate() ? 0 : -1;
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
      case WM_TIMER:
        OnTimer(wParam);
        return 0;
      case WM_ACTIVATE:
        OnActivate(LOWORD(wParam));
        return 0;
      case WM_SETFOCUS:
        OnSetFocus();
        return 0;
      case DM_GETDEFID:
        return OnGetDefId();
      case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      case WM_SIZE:
        OnSize(wParam);
        return 0;
      case WM_CLOSE:
        OnClose();
        return 0;
      case WM_DESTROY:
        OnDestroy();
        return 0;
      default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
  }

  // Creates the controls, lays them out at the DPI of the screen the window opens on and sizes the
  // window to them. Then loads the form.
  bool OnCreate() {
    for (const Control& c : kControls) {
      HWND control = CreateWindowExW(
          c.exStyle, c.windowClass, Wide(c.text).c_str(), WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0,
          0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
      if (control == nullptr) return false;
    }
    cmdPlay_ = GetDlgItem(hwnd_, kIdCmdPlay);
    sndStop_ = GetDlgItem(hwnd_, kIdSndStop);
    txtVers_[0] = GetDlgItem(hwnd_, kIdTxtVers0);
    txtVers_[1] = GetDlgItem(hwnd_, kIdTxtVers1);
    LayOut(WindowDpi());
    FitToLayout();
    focus_ = cmdPlay_;
    form_.Form_Load();
    return true;
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case kIdCmdPlay:
      case kIdSndStop: {
        HWND button = id == kIdCmdPlay ? cmdPlay_ : sndStop_;
        if (code == BN_SETFOCUS) ShowAsDefault(button);
        // With BS_NOTIFY the second click of a double click comes as BN_DBLCLK: still a click.
        if (code != BN_CLICKED && code != BN_DBLCLK) return;
        if (id == kIdCmdPlay) {
          form_.cmdPlay_Click();
        } else {
          form_.sndStop_Click();
        }
        return;
      }
      case kIdTxtVers0:
      case kIdTxtVers1:
        if (code == EN_SETFOCUS) ShowAsDefault(nullptr);
        // Also raised by the program's own SetWindowText; Form1 is written for that.
        if (code == EN_CHANGE) form_.txtVers_Change(id == kIdTxtVers0 ? 0 : 1);
        return;
      default:
        return;  // IDOK and IDCANCEL from IsDialogMessage: no such buttons
    }
  }

  void OnTimer(WPARAM id) {
    if (id == kTimer1Id && timer1_) form_.Timer1_Timer();
  }

  // As a dialog does, the window keeps the control that had the focus when it was deactivated
  // and gives the focus back to it when it is activated again.
  void OnActivate(UINT state) {
    if (state == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
    } else {
      OnSetFocus();
    }
  }

  void OnSetFocus() {
    if (focus_ != nullptr) SetFocus(focus_);
  }

  // IsDialogMessage asks the window for its default button when the focus moves with Tab, as it
  // asks a dialog; the answer is the button shown as the default, so it is left as it is.
  LRESULT OnGetDefId() {
    if (default_ == nullptr) return 0;
    return MAKELRESULT(GetDlgCtrlID(default_), DC_HASDEFID);
  }

  // The window is now on a screen of another DPI (moved there, or the screen's scale changed),
  // `dpi` as the message tells it: it lays itself out anew at that DPI, takes the place Windows
  // suggests, and the size of its new layout (Windows suggests the window's size scaled, which is
  // not always the layout's scaled).
  void OnDpiChanged(int dpi, const RECT& suggested) {
    LayOut(dpi);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitToLayout();
  }

  // A window minimized while its DPI changed takes the size of its new layout once it is restored.
  void OnSize(WPARAM type) {
    if (type == SIZE_RESTORED) FitToLayout();
  }

  void OnClose() {
    int cancel = 0;
    form_.Form_Unload(cancel);
    if (cancel == 0) DestroyWindow(hwnd_);
  }

  void OnDestroy() {
    SetTimer1Enabled(false);
    for (HFONT* font : {&font_, &captionFont_}) {
      if (*font != nullptr) DeleteObject(*font);
      *font = nullptr;
    }
    PostQuitMessage(0);
  }

  // The dialog font at `height` pixels.
  static HFONT MakeFont(int height) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, kFontFace);
  }

  // The width in pixels of `text` in the dialog font at `height` pixels, as the font the system
  // gives for it draws it.
  int TextWidth(const char* text, int height) {
    HFONT font = MakeFont(height);
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font);
    const std::wstring wide = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    DeleteObject(font);
    return size.cx;
  }

  // Lays the window out at `dpi`: every control placed by the 96-dpi layout scaled, in fonts made
  // for that DPI, the captions' fitted to their controls. The fonts before are deleted once no
  // control uses them. The controls keep their order, and so the order of Tab.
  void LayOut(int dpi) {
    using namespace Form1Layout;
    dpi_ = dpi;
    const HFONT old[] = {font_, captionFont_};
    font_ = MakeFont(MulDiv(kFontPoints, dpi_, 72));
    captionFont_ = MakeFont(CaptionSize(
        MulDiv(kFontPoints, dpi_, 72), MulDiv(kSmallestCaptionPoints, dpi_, 72),
        [this](const Caption& c) { return Scale(c.width - (c.button ? 2 * kButtonMargin : 0)); },
        [this](const char* text, int size) { return TextWidth(text, size); }));
    for (const Control& c : kControls) {
      HWND control = GetDlgItem(hwnd_, c.id);
      SetWindowPos(control, nullptr, Scale(c.rect.left), Scale(c.rect.top), Scale(c.rect.width),
                   Scale(c.rect.height), SWP_NOZORDER | SWP_NOACTIVATE);
      // The captions of labels and buttons in their fitted size, the boxes' text in the normal one.
      HFONT font = c.windowClass == kEdit ? font_ : captionFont_;
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    for (HFONT font : old) DeleteObject(font);
  }

  // The DPI of the screen the window is on (Windows 10 version 1607 and later), or else the
  // system's.
  int WindowDpi() const {
    static const auto getDpiForWindow = FromUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) return static_cast<int>(getDpiForWindow(hwnd_));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
  }

  // Sizes the window so that its client area is the layout's at its DPI, inside the frame it has
  // (Windows draws the frame at the window's DPI, Wine at the system's). Does nothing while the
  // window is minimized, or when it already has that size, so that the WM_SIZE it causes ends
  // there.
  void FitToLayout() {
    RECT window, client;
    if (IsIconic(hwnd_) || !GetWindowRect(hwnd_, &window) || !GetClientRect(hwnd_, &client)) return;
    const int wider = Scale(Form1Layout::kClientWidth) - client.right;
    const int taller = Scale(Form1Layout::kClientHeight) - client.bottom;
    if (wider == 0 && taller == 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + wider,
                 window.bottom - window.top + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The button with the focus is the default button, which Enter presses; with the focus in a
  // box there is none.
  void ShowAsDefault(HWND button) {
    default_ = button;
    for (HWND b : {cmdPlay_, sndStop_}) {
      const DWORD style = (b == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY;
      SendMessageW(b, BM_SETSTYLE, style, TRUE);
    }
  }

  int Scale(int pixelsAt96Dpi) const { return MulDiv(pixelsAt96Dpi, dpi_, 96); }

  Form1 form_{*this};
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND cmdPlay_ = nullptr;
  HWND sndStop_ = nullptr;
  HWND txtVers_[2] = {nullptr, nullptr};
  HWND focus_ = nullptr;         // the control to give the focus to when the window is activated
  HWND default_ = nullptr;       // the button drawn as the default button, which Enter presses
  HFONT font_ = nullptr;         // the text of the boxes
  HFONT captionFont_ = nullptr;  // the captions of the labels and buttons
  int dpi_ = 96;
  bool timer1_ = false;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // Loads version 6 of the common controls, which the manifest asks for, so that the buttons and
  // boxes are drawn in the system's visual style.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!Win32Form1::Register(instance)) return 1;
  Win32Form1 form(instance);
  if (!form.Create()) return 1;
  return form.Run(show);
}
