// Prints the children of the program's window in the order in which they were created, which is
// the order of Tab and the one a screen reader reads (it names an edit box by the label before
// it): "class text" a line, in UTF-8. For the end-to-end test under Wine, whose MSAA names nothing.
#include <windows.h>

#include <cstdio>
#include <string>

BOOL CALLBACK Print(HWND child, LPARAM) {
  wchar_t name[64] = {}, text[64] = {};
  char line[512] = {};
  GetClassNameW(child, name, 64);
  SendMessageW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));  // a box's text too
  const std::wstring wide = std::wstring(name) + L" " + text;
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, line, sizeof line, nullptr, nullptr);
  return std::puts(line) >= 0;
}

int main() {
  HWND form = FindWindowW(L"Brumbesang.Form1", nullptr);
  if (form != nullptr) EnumChildWindows(form, Print, 0);
  return form == nullptr;
}
