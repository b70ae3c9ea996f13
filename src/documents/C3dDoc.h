#pragma once
// The document of a C3D file: the C3D reader and the force-plate flags of the
// VDO flavour.

#include "documents/ReaderDocument.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"

class CC3dDoc : public CReaderDocument<CC3d, &C3dFormatDescription> {
 public:
  using CReaderDocument::CReaderDocument;

  const CC3d& C3d() const { return m_reader; }

  // GetPlateCount of the reader.
  int ForcePlateCount() const override;
};
