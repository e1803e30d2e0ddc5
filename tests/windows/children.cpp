// Prints the children of the program's window in the order in which they were created, which is
// the order of Tab and the one a screen reader reads (it names an edit box by the label before
// it): "class text|" each, in UTF-8. For the end-to-end test under Wine, whose MSAA names nothing.
#include <windows.h>

#include <cstdio>

BOOL CALLBACK Print(HWND child, LPARAM) {
  wchar_t wide[128] = {};
  char line[512] = {};
  const int n = GetClassNameW(child, wide, 63);
  wide[n] = L' ';  // then its text (GetWindowText would not give a box's text in another process)
  SendMessageW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(wide + n + 1));
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, line, sizeof line, nullptr, nullptr);
  return std::printf("%s|", line) > 0;
}

int main() {
  HWND form = FindWindowW(L"Brumbesang.Form1", nullptr);
  if (form != nullptr) EnumChildWindows(form, Print, 0);
  return form == nullptr;
}
