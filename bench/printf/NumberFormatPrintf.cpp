// The number formatting of the writers done the plain way, one snprintf per
// value: linked into bench_export_printf in place of the program's own, as
// the reference the fast formatter is measured against.

#include <cstdio>

#include "export/NumberFormat.h"

void AppendFixed(std::string& out, double value, int precision) {
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%.*f", precision, value);
  out.append(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void AppendFixedWidth(std::string& out, double value, int width, int precision) {
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%*.*f", width, precision, value);
  out.append(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void AppendInt(std::string& out, std::int64_t value) {
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
  out.append(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void AppendPadded(std::string& out, std::string_view text, int width) {
  const std::size_t len = text.size();
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  if (w > len) out.append(w - len, ' ');
  out.append(text);
}
