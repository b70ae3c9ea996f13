#pragma once
// The document of a VAD recording: the analog document that can also be
// saved as a C3D file.

#include "documents/ReaderDocument.h"
#include "formats/vad/Vad.h"
#include "formats/vad/VadDescription.h"

class CVadDoc : public CReaderDocument<CVad, &VadFormatDescription> {
 public:
  using CReaderDocument::CReaderDocument;

  std::uint64_t ExportC3d(const std::filesystem::path& output) override;
};
