#include "documents/DocumentTypes.h"

#include "documents/C3dDoc.h"
#include "platform/Text.h"

namespace {
template <typename Doc>
std::unique_ptr<CDocumentBase> Create(CPlatform& platform) {
  return std::make_unique<Doc>(platform);
}

const CDocumentType kTypes[] = {
    {"C3D", "C3d Files (*.c3d)", ".c3d", &Create<CC3dDoc>},
};
}  // namespace

std::span<const CDocumentType> DocumentTypes() {
  return kTypes;
}

const CDocumentType& DocumentTypeFor(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  for (const CDocumentType& t : kTypes) {
    if (EqualsNoCase(ext, t.extension)) return t;
  }
  return kTypes[0];
}
