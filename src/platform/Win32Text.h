// Text between the program's 8-bit strings and UTF-16, the text of Windows' W functions: UTF-8 by
// default (the program's own text), or another code page, such as CP_ACP for the paths the A
// functions take. Windows only: include after <windows.h>.
#pragma once

#include <string>

inline std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

inline std::string Narrow(const std::wstring& wide, UINT codePage = CP_UTF8) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  std::string text(
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, &text[0], static_cast<int>(text.size()),
                      nullptr, nullptr);
  return text;
}
