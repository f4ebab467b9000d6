// iconv-based conversion between CP932 and UTF-8.
#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

// Converts through iconv; an input byte that cannot be converted is replaced
// by "?" and skipped, so that any byte sequence yields some text.
std::string Convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return in;
  }
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL: an unconvertible or truncated sequence.
      out.push_back('?');
      ++src;
      --srcLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Sjis(const std::string& utf8) { return Convert("CP932", "UTF-8", utf8); }

std::string ToUtf8(const std::string& cp932) { return Convert("UTF-8", "CP932", cp932); }

}  // namespace platform
