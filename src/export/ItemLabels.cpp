#include "export/ItemLabels.h"

#include "platform/Text.h"

std::string ItemLabel(const CContinuedStrings& labels, int i, const char* defaultFormat) {
  // A blank label names nothing: the item keeps its default name.
  const std::string* label = labels.At(i);
  return label != nullptr && !TrimView(*label).empty() ? *label : Format(defaultFormat, i + 1);
}

std::vector<std::string> ItemLabels(const CParamSet& set, const char* group, const char* name,
                                    const char* defaultFormat, int count) {
  const CContinuedStrings labels(set, group, name);
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int k = 0; k < count; ++k) names.push_back(ItemLabel(labels, k, defaultFormat));
  return names;
}

std::string ChannelSectionName(const std::string& name) {
  return ReplaceAll(ReplaceAll(Trim(name), ' ', '_'), '-', '_');
}
