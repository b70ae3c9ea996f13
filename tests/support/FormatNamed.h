#pragma once
// The format of the table of formats that a test names ("C3D", "MAC").

#include <string_view>

#include "documents/FormatRegistry.h"

namespace testsupport {

inline const CFormatEntry& FormatNamed(std::string_view name) {
  for (const CFormatEntry& f : Formats()) {
    if (name == f.name) return f;
  }
  return Formats()[0];
}

}  // namespace testsupport
