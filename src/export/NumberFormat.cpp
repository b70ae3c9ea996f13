#include "export/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

// Longest fractional expansion a double can have: the smallest denormal,
// 2^-1074, has exactly 1074 decimals. Every digit past that is a zero, so
// larger precisions are formatted at this one and padded with zeros.
constexpr int kExactDecimals = 1074;
// Sign, 309 integer digits of DBL_MAX, the point, the decimals, and slack.
constexpr std::size_t kFixedBuffer = 1 + 309 + 1 + kExactDecimals + 16;
// printf takes a negative precision as if none were given.
constexpr int kDefaultPrecision = 6;

constexpr char kNan[] = "nan";
constexpr char kNegativeNan[] = "-nan";
constexpr char kInf[] = "inf";
constexpr char kNegativeInf[] = "-inf";

// The text of a NaN or infinity the way glibc's printf writes it, which is
// also what every platform of this program writes: the sign bit of a NaN is
// shown.
std::string_view NonFinite(double value) {
  const bool negative = std::signbit(value);
  if (std::isnan(value)) return negative ? kNegativeNan : kNan;
  return negative ? kNegativeInf : kInf;
}

// The common case of the writers, a modest value with few decimals, without
// the general algorithm: value * 10^p is computed with one rounding (10^p is
// exact), so its distance to the true product is below |product| * 2^-53.
// When the fraction lies clearly away from one half, rounding the computed
// product to the nearest integer gives the same integer printf's exact
// rounding gives; otherwise (near a tie) returns 0 and the caller takes the
// exact path.
std::size_t FastFixed(char* buf, double value, int precision) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (precision > 9) return 0;
  const double scaled = std::fabs(value) * kPow10[precision];
  if (!(scaled < 1e15)) return 0;
  const double whole = std::floor(scaled);
  const double frac = scaled - whole;  // exact: both below 2^53
  const double margin = scaled * 0x1p-51 + 0x1p-60;
  if (std::fabs(frac - 0.5) <= margin) return 0;
  std::uint64_t n = static_cast<std::uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
  // Digits from the last one back, two per division: exports are mostly this.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839404142434445"
      "46474849"
      "50515253545556575859606162636465666768697071727374757677787980818283848586878889909192939495"
      "96979899";
  char digits[24];
  int len = 0;
  while (n >= 100) {
    const auto pair = static_cast<std::size_t>(n % 100);
    n /= 100;
    digits[len++] = kPairs[2 * pair + 1];
    digits[len++] = kPairs[2 * pair];
  }
  if (n >= 10) {
    digits[len++] = kPairs[2 * n + 1];
    digits[len++] = kPairs[2 * n];
  } else {
    digits[len++] = static_cast<char>('0' + n);
  }
  while (len < precision + 1) digits[len++] = '0';
  std::size_t at = 0;
  if (std::signbit(value)) buf[at++] = '-';
  for (int i = len - 1; i >= precision; --i) buf[at++] = digits[i];
  if (precision > 0) {
    buf[at++] = '.';
    for (int i = precision - 1; i >= 0; --i) buf[at++] = digits[i];
  }
  return at;
}

// Digits of "%.*f" into `buf` (kFixedBuffer bytes); returns their count.
// `zeros` receives how many trailing zeros the caller must add.
std::size_t FixedDigits(char* buf, double value, int precision, std::size_t& zeros) {
  zeros = 0;
  if (precision < 0) precision = kDefaultPrecision;
  if (precision > kExactDecimals) {
    zeros = static_cast<std::size_t>(precision - kExactDecimals);
    precision = kExactDecimals;
  }
  if (!std::isfinite(value)) {
    const std::string_view t = NonFinite(value);
    std::memcpy(buf, t.data(), t.size());
    zeros = 0;
    return t.size();
  }
  if (std::size_t n = FastFixed(buf, value, precision); n != 0) return n;
  // Correctly rounded, ties to even on the exact binary value, as glibc
  // rounds; the sign of negative zero is kept.
  const std::to_chars_result r =
      std::to_chars(buf, buf + kFixedBuffer, value, std::chars_format::fixed, precision);
  if (r.ec != std::errc()) {  // cannot happen with this buffer; stay defined
    buf[0] = '0';
    return 1;
  }
  return static_cast<std::size_t>(r.ptr - buf);
}

// Writes `len` bytes of `text` followed by `zeros` zeros into `out`, padded
// with spaces to `width`: on the left, or on the right for a negative width
// (printf's "-" flag).
void AppendAligned(std::string& out, const char* text, std::size_t len, std::size_t zeros,
                   int width) {
  const std::size_t total = len + zeros;
  const bool left = width < 0;
  const std::size_t w = left ? static_cast<std::size_t>(-static_cast<long long>(width))
                             : static_cast<std::size_t>(width);
  const std::size_t pad = w > total ? w - total : 0;
  if (pad != 0 && !left) out.append(pad, ' ');
  out.append(text, len);
  if (zeros != 0) out.append(zeros, '0');
  if (pad != 0 && left) out.append(pad, ' ');
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision) {
  char buf[kFixedBuffer];
  std::size_t zeros;
  const std::size_t len = FixedDigits(buf, value, precision, zeros);
  out.append(buf, len);
  if (zeros != 0) out.append(zeros, '0');
}

void AppendFixedWidth(std::string& out, double value, int width, int precision) {
  char buf[kFixedBuffer];
  std::size_t zeros;
  const std::size_t len = FixedDigits(buf, value, precision, zeros);
  AppendAligned(out, buf, len, zeros, width);
}

void AppendInt(std::string& out, std::int64_t value) {
  char buf[24];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, static_cast<std::size_t>(r.ptr - buf));
}

void AppendPadded(std::string& out, std::string_view text, int width) {
  AppendAligned(out, text.data(), text.size(), 0, width);
}
