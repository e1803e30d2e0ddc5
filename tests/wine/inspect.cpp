// Reads, from outside, what Windows knows of the built program; run under Wine by the Windows
// tests. It prints facts and judges nothing: the test scripts compare them with what they expect.
//
//   inspect version FILE
//     The version record of FILE as Windows reads it (GetFileVersionInfo, VerQueryValue):
//       FILEVERSION a.b.c.d / PRODUCTVERSION a.b.c.d (the fixed part)
//       NAME<TAB>VALUE for each string of the first translation the record lists
//   inspect window CAPTION
//     The open top-level window with that caption and its controls:
//       client<TAB>WIDTH<TAB>HEIGHT<TAB>DPI<TAB>X<TAB>Y   (X Y: the client area's corner on the
//       screen)
//       control<TAB>CLASS<TAB>TEXT<TAB>LEFT<TAB>TOP<TAB>WIDTH<TAB>HEIGHT<TAB>FLAGS<TAB>X<TAB>Y
//         one line per control in z-order, which is the tab order; LEFT...HEIGHT in the client
//         area, X Y the control's centre on the screen; FLAGS "tabstop", "default", "focus" or "-"
//
// Texts are printed as UTF-8. The exit status is 1 when the file or window is not there.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "window/win32/Utf.h"

namespace {

std::string VersionText(DWORD high, DWORD low) {
  char text[64];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(high)),
                static_cast<unsigned long>(LOWORD(high)), static_cast<unsigned long>(HIWORD(low)),
                static_cast<unsigned long>(LOWORD(low)));
  return text;
}

int PrintVersion(const char* file) {
  const std::wstring path = Utf16(file);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) {
    std::fprintf(stderr, "inspect: %s has no version record (error %lu)\n", file,
                 static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::vector<unsigned char> record(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, record.data())) {
    std::fprintf(stderr, "inspect: cannot read the version record of %s\n", file);
    return 1;
  }

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
      length >= sizeof *fixed && fixed->dwSignature == VS_FFI_SIGNATURE) {
    std::printf("FILEVERSION\t%s\n",
                VersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
    std::printf("PRODUCTVERSION\t%s\n",
                VersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
  }

  struct Translation {
    WORD language, codePage;
  };
  Translation* translations = nullptr;
  if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof *translations) {
    std::fprintf(stderr, "inspect: the version record of %s lists no translation\n", file);
    return 1;
  }
  wchar_t block[64];
  std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translations[0].language,
                translations[0].codePage);
  std::printf("Translation\t%04x %u\n", translations[0].language, translations[0].codePage);
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription",
                              L"OriginalFilename"}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(block) + name;
    if (VerQueryValueW(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value != nullptr) {
      std::printf("%s\t%s\n", Utf8(name).c_str(), Utf8(value).c_str());
    }
  }
  return 0;
}

// The text a control holds. GetWindowText would give the caption Windows keeps for a window of
// another process, which an edit box does not update; the message asks the box itself.
std::wstring WindowText(HWND hwnd) {
  std::wstring text(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
  text.resize(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
  return text;
}

int PrintWindow(const char* caption) {
  HWND window = FindWindowW(nullptr, Utf16(caption).c_str());
  if (window == nullptr) {
    std::fprintf(stderr, "inspect: no window is captioned %s\n", caption);
    return 1;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  std::printf("client\t%ld\t%ld\t%d\t%ld\t%ld\n", client.right, client.bottom, dpi, origin.x,
              origin.y);

  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);

  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64];
    GetClassNameW(child, className, 64);
    RECT r;
    GetWindowRect(child, &r);
    const POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    std::string flags;
    if (style & WS_TABSTOP) flags += "tabstop,";
    if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) flags += "default,";
    if (child == gui.hwndFocus) flags += "focus,";
    flags = flags.empty() ? "-" : flags.substr(0, flags.size() - 1);
    std::printf("control\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%s\t%ld\t%ld\n", Utf8(className).c_str(),
                Utf8(WindowText(child)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                flags.c_str(), centre.x, centre.y);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc == 3 ? argv[1] : "";
  if (command == "version") return PrintVersion(argv[2]);
  if (command == "window") return PrintWindow(argv[2]);
  std::fprintf(stderr, "usage: inspect version FILE | inspect window CAPTION\n");
  return 2;
}
