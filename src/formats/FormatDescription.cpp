#include "formats/FormatDescription.h"

const char kExportedLog[] = "Exported %s To %s. Frames %d to %d";
const char kExportedLogUnsigned[] = "Exported %s To %s. Frames %u to %u";
const char kMarkerLabelFormat[] = "Marker %02d";

std::string DstKeyLines(const std::vector<CHeaderField>& fields) {
  constexpr std::size_t kKeyWidth = 27;
  std::string s;
  for (const CHeaderField& f : fields) {
    s += f.label;
    if (f.label.size() < kKeyWidth) s.append(kKeyWidth - f.label.size(), ' ');
    s += ": ";
    s += f.value;
    s += '\n';
  }
  return s;
}

std::string TextKeyLines(const std::vector<CHeaderField>& fields, const std::string& delimiter) {
  std::string s;
  for (const CHeaderField& f : fields) {
    s += f.label;
    s += delimiter;
    s += f.value;
    s += '\n';
  }
  return s;
}
