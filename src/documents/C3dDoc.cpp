#include "documents/C3dDoc.h"

#include "formats/c3d/ForcePlates.h"

int CC3dDoc::ForcePlateCount() const {
  return GetPlateCount(m_reader);
}
