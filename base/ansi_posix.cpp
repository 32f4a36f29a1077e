// ANSI conversions for POSIX builds: UTF-8 <-> wchar_t (UTF-32) through iconv.
// Like the Windows conversions, unconvertible input becomes '?' (narrow) or U+FFFD (wide)
// instead of failing the whole string.
#include "base/ansi.h"

#include <iconv.h>

#include <cerrno>

namespace corvane {
namespace {

template <typename Out, typename In>
Out Convert(const char* to, const char* from, const In& text, typename Out::value_type replacement) {
  Out out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  using OutChar = typename Out::value_type;
  char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  size_t inLeft = text.size() * sizeof(typename In::value_type);
  OutChar buffer[512];
  while (inLeft > 0) {
    char* outPtr = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof(buffer);
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(reinterpret_cast<OutChar*>(outPtr) - buffer));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL: skip one input unit and mark the loss.
      out.push_back(replacement);
      const size_t unit = sizeof(typename In::value_type);
      in += unit;
      inLeft = inLeft > unit ? inLeft - unit : 0;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string WideToAnsi(const std::wstring& text) {
  return Convert<std::string>("UTF-8", "WCHAR_T", text, '?');
}

std::wstring AnsiToWide(const std::string& text) {
  return Convert<std::wstring>("WCHAR_T", "UTF-8", text, L'\xFFFD');
}

}  // namespace corvane
