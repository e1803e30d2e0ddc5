// std::from_chars for a double, which the libc++ of Debian 12's emscripten (3.1.6) lacks. The web
// build puts this header before every source of the portable core (cmake/web.cmake), so the core
// compiles unchanged. It reads what NumberText.cpp hands it, decimal digits with an optional ".",
// with strtod, which reads that the same way in every locale.
#pragma once

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>

namespace std {

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format) {
  const string text(first, last);
  char* end = nullptr;
  errno = 0;
  value = strtod(text.c_str(), &end);
  const errc error = end == text.c_str() ? errc::invalid_argument
                     : errno == ERANGE   ? errc::result_out_of_range
                                         : errc();
  return {first + (end - text.c_str()), error};
}

}  // namespace std
