#pragma once
// The document of a C3D file: the C3D reader, the range limited to the
// header's first and last video frame, force-plate flags for the VDO flavour.

#include "documents/DocumentBase.h"
#include "formats/c3d/C3d.h"

class CC3dDoc : public CDocumentBase {
 public:
  explicit CC3dDoc(CPlatform& platform) : CDocumentBase(platform) {}
  ~CC3dDoc() override { m_reader.Close(); }

  CRecording& Reader() override { return m_reader; }
  const CRecording& Reader() const override { return m_reader; }
  const CC3d& C3d() const { return m_reader; }
  const CFormatDescription& Description() const override;

  int RangeMinimum() const override { return m_reader.firstVideoFrame; }
  int RangeMaximum() const override { return m_reader.lastVideoFrame; }
  // FORCE_PLATFORM:USED; 0 when absent, not a number or negative.
  int ForcePlateCount() const override;

 protected:
  bool OpenReader() override { return m_reader.Open(); }
  void CloseReader() override { m_reader.Close(); }

 private:
  CC3d m_reader;
};
