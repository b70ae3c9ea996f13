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

std::vector<CHeaderField> ParseDstKeyLines(std::string_view text) {
  std::vector<CHeaderField> fields;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos) continue;
    std::string_view label = line.substr(0, colon);
    while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
    fields.push_back({label, std::string(line.substr(colon + 2))});
  }
  return fields;
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
