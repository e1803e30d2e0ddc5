// UTF-8, the program's own text, to and from UTF-16, the text of Windows' W functions.
// Windows only: include after <windows.h>.
#pragma once

#include <string>

inline std::wstring Utf16(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
  return text;
}

inline std::string Utf8(const std::wstring& utf16) {
  if (utf16.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), &text[0], length,
                      nullptr, nullptr);
  return text;
}
