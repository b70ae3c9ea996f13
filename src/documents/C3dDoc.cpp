#include "documents/C3dDoc.h"

#include <algorithm>


int CC3dDoc::ForcePlateCount() const {
  const CParam* used = m_reader.paramSet.Find("FORCE_PLATFORM", "USED");
  if (used == nullptr || !used->IsNumeric() || used->elementCount < 1) return 0;
  // A hostile FLOAT could ask for billions of flags; no file holds more
  // plates than a signed 16-bit count can say.
  constexpr int kMaxPlates = 32767;
  const int n = TruncateToInt32(used->GetSignedValue(0, 0.0f));
  return n > 0 ? std::min(n, kMaxPlates) : 0;
}
