#include "export/ExportOptions.h"

#include <algorithm>
#include <iterator>

#include "platform/Text.h"

const char kVeltroLocation[] = "Location";
const char kVeltroSerial[] = "Serial";
const char kVeltroEquip[] = "Equip";
const char kVeltroRes[] = "Res";

int FindLabelTranslation(const std::vector<std::string>& sourceNames, std::string_view label) {
  const std::string_view wanted = TrimView(label);
  for (std::size_t i = 0; i < sourceNames.size(); ++i) {
    if (EqualsNoCase(TrimView(sourceNames[i]), wanted)) return static_cast<int>(i);
  }
  return -1;
}

float AdcVideoRate(const AdcSettings& settings) {
  constexpr std::size_t kLast = std::size(kAdcVideoRates) - 1;
  return kAdcVideoRates[std::min<std::size_t>(settings.RateIndex, kLast)];
}
