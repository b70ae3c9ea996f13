#include "documents/VadDoc.h"

#include "export/C3dExport.h"

std::uint64_t CVadDoc::ExportC3d(const std::filesystem::path& output) {
  return ::ExportC3d(Job(output), m_reader.analogRate, m_reader.videoFrameRate);
}
