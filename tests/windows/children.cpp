// Lists the children of the program's window in the order in which they were created, which is
// the order of Tab and the one a screen reader reads (it names an edit box by the label before
// it), for the end-to-end test under Wine, whose MSAA names nothing:
//   children.exe [DPI]...
// prints each child's class, text, place in the window's client area and size, then how many fonts
// the program holds more than before: "class text left,top WxH|...|N", in UTF-8. Given DPIs, it
// first tells the window of each in turn, as Windows tells a window that has moved to a screen of
// that DPI (Wine never does: its screens all have the system's DPI): WM_DPICHANGED, with the DPI
// and a rectangle for the window, which must be in the program's memory. The rectangle is the one
// the window has, where Windows would suggest it scaled: the window takes its place, and the size
// of its new layout either way.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

BOOL CALLBACK Print(HWND child, LPARAM) {
  wchar_t wide[128] = {};
  char line[512] = {};
  const int n = GetClassNameW(child, wide, 63);
  wide[n] = L' ';  // then its text (GetWindowText would not give a box's text in another process)
  SendMessageW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(wide + n + 1));
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, line, sizeof line, nullptr, nullptr);
  RECT r;  // in the window's client area
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  const LONG width = r.right - r.left, height = r.bottom - r.top;
  return std::printf("%s %ld,%ld %ldx%ld|", line, r.left, r.top, width, height) > 0;
}

// The fonts a process holds, the only GDI objects the program makes (Wine's own regions and device
// contexts come and go as it draws). Wine's GetGuiResources counts nothing, so this counts the
// fonts in the process's GDI handle table, which Wine keeps per process and names in the
// process's PEB, as Windows does: an entry's type is its byte 14.
long Fonts(HANDLE process) {
  PROCESS_BASIC_INFORMATION info{};
  NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr);
  static unsigned char peb[0x100], table[0x10000][24];
  ReadProcessMemory(process, info.PebBaseAddress, peb, sizeof peb, nullptr);
  void* at = *reinterpret_cast<void**>(peb + (sizeof at == 8 ? 0xf8 : 0x94));
  ReadProcessMemory(process, at, table, sizeof table, nullptr);
  return std::count_if(table, table + 0x10000, [](auto& entry) { return entry[14] == 0x0a; });
}

int main(int, char** argv) {
  HWND form = FindWindowW(L"Brumbesang.Form1", nullptr);
  if (form == nullptr) return 1;
  DWORD id = 0;
  GetWindowThreadProcessId(form, &id);
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  const long before = Fonts(process);
  for (RECT r; *++argv != nullptr && GetWindowRect(form, &r);) {
    WriteProcessMemory(process, remote, &r, sizeof r, nullptr);
    const int dpi = std::atoi(*argv);
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
  }
  EnumChildWindows(form, Print, 0);
  return std::printf("%ld", Fonts(process) - before) < 0;
}
