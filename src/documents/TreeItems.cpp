#include "documents/TreeItems.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "export/ItemLabels.h"
#include "platform/Text.h"

namespace {

// The code a quoted format gives: the text it prints, read as a number.
std::uint64_t CodeOf(const char* format, int index) {
  char text[32];
  std::snprintf(text, sizeof text, format, index);
  return std::strtoull(text, nullptr, 10);
}

int FlagImage(const std::string& flags, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= flags.size()) return kImageUnchecked;
  return flags[static_cast<std::size_t>(i)] == '1' ? kImageChecked : kImageUnchecked;
}

// Sets flag i when it exists. A selection shorter than the recording (never
// made by a document, but possible in a hand-made one) is not grown.
void SetFlag(std::string& flags, long long i, char v) {
  if (i >= 0 && static_cast<unsigned long long>(i) < flags.size()) {
    flags[static_cast<std::size_t>(i)] = v;
  }
}

void SetAll(std::string& flags, char v) {
  for (char& c : flags) c = v;
}

}  // namespace

CItemCodeParts DecodeItemCode(std::uint64_t code) {
  const std::string digits = std::to_string(code);
  CItemCodeParts parts;
  parts.branch = digits[0] - '0';
  if (digits.size() > 1) parts.kind = digits[1] - '0';
  if (digits.size() > 2) parts.index = std::strtoll(digits.c_str() + 2, nullptr, 10);
  return parts;
}

int SelectionState(const std::string& flags, const std::string& more) {
  const bool anyZero = flags.find('0') != std::string::npos || more.find('0') != std::string::npos;
  if (!anyZero) return kImageChecked;
  const bool anyOne = flags.find('1') != std::string::npos || more.find('1') != std::string::npos;
  return anyOne ? kImagePartial : kImageUnchecked;
}

CSelectionStates ComputeSelectionStates(const CExportSelection& selection) {
  CSelectionStates s;
  s.analog = SelectionState(selection.analog);
  s.points = SelectionState(selection.points);
  s.parameters = SelectionState(selection.groups, selection.params);
  s.data = SelectionState(selection.analog, selection.points);
  return s;
}

CTreeLayout TreeLayoutFor(const CFormatDescription& format) {
  CTreeLayout layout;
  layout.markers = format.hasPoints;
  if (format.channelCodeFormat != nullptr) layout.channelCodeFormat = format.channelCodeFormat;
  if (format.channelLabelFormat != nullptr) layout.channelTextFormat = format.channelLabelFormat;
  return layout;
}

int CSelectionTree::Add(TreeItemKind kind, int index, std::uint64_t code, std::string text,
                        int parent) {
  const int id = Count();
  CTreeItem item;
  item.kind = kind;
  item.index = index;
  item.code = code;
  item.text = std::move(text);
  item.parent = parent;
  if (parent >= 0) {
    auto& siblings = m_items[static_cast<std::size_t>(parent)].children;
    item.row = static_cast<int>(siblings.size());
    siblings.push_back(id);
  }
  m_items.push_back(std::move(item));
  return id;
}

void CSelectionTree::Build(const CRecording& recording, const CTreeLayout& layout,
                           const std::string& title, const CExportSelection& selection,
                           const CSelectionStates& states) {
  m_items.clear();
  const CParamSet& set = recording.paramSet;
  m_items.reserve(8 + set.groups.size() + set.params.size() + recording.analog.size() +
                  recording.points.size());

  const int root = Add(TreeItemKind::Root, -1, 0, title, -1);
  Add(TreeItemKind::Header, -1, 1, kHeaderItemText, root);

  const int params = Add(TreeItemKind::Parameters, -1, 2, kParametersItemText, root);
  // Parameters are listed, in list order, under every group whose number they
  // carry. Sorting (number, index) pairs once avoids a scan of the whole list
  // per group.
  std::vector<std::pair<int, int>> byNumber;
  byNumber.reserve(set.params.size());
  for (int p = 0; p < set.ParamCount(); ++p) {
    byNumber.emplace_back(set.params[static_cast<std::size_t>(p)].groupNumber, p);
  }
  std::sort(byNumber.begin(), byNumber.end());
  for (int g = 0; g < set.GroupCount(); ++g) {
    const CGroup& group = set.groups[static_cast<std::size_t>(g)];
    const int gid = Add(TreeItemKind::Group, g, CodeOf("21%02d", g), group.name, params);
    const int number = group.number < 0 ? -group.number : group.number;
    auto it = std::lower_bound(byNumber.begin(), byNumber.end(), std::make_pair(number, -1));
    for (; it != byNumber.end() && it->first == number; ++it) {
      const int p = it->second;
      Add(TreeItemKind::Parameter, p, CodeOf("22%02d", p),
          set.params[static_cast<std::size_t>(p)].name, gid);
    }
  }

  const int data = Add(TreeItemKind::Data, -1, 3, kDataItemText, root);
  const int analog = Add(TreeItemKind::AnalogBranch, -1, 31, kAnalogItemText, data);
  const CContinuedStrings analogLabels(set, "Analog", "Labels");
  for (int k = 0; k < recording.AnalogCount(); ++k) {
    Add(TreeItemKind::Channel, k, CodeOf(layout.channelCodeFormat, k),
        ItemLabel(analogLabels, k, layout.channelTextFormat), analog);
  }
  if (layout.markers) {
    const int marker = Add(TreeItemKind::MarkerBranch, -1, 32, kMarkerItemText, data);
    const CContinuedStrings pointLabels(set, "Point", "Labels");
    for (int j = 0; j < recording.PointCount(); ++j) {
      Add(TreeItemKind::Point, j, CodeOf("32%02d", j),
          ItemLabel(pointLabels, j, kDefaultMarkerText), marker);
    }
  }
  RefreshImages(selection, states);
}

int CSelectionTree::FindByCode(std::uint64_t code) const {
  for (int id = 0; id < Count(); ++id) {
    if (Item(id).code == code) return id;
  }
  return -1;
}

void CSelectionTree::RefreshImages(const CExportSelection& selection,
                                   const CSelectionStates& states) {
  for (CTreeItem& item : m_items) {
    switch (item.kind) {
      case TreeItemKind::Root:
        item.image = kImagePage;
        break;
      case TreeItemKind::Header:
        item.image = selection.header != 0 ? kImageChecked : kImageUnchecked;
        break;
      case TreeItemKind::Parameters:
        item.image = states.parameters;
        break;
      case TreeItemKind::Group:
        item.image = FlagImage(selection.groups, item.index);
        break;
      case TreeItemKind::Parameter:
        item.image = FlagImage(selection.params, item.index);
        break;
      case TreeItemKind::Data:
        item.image = states.data;
        break;
      case TreeItemKind::AnalogBranch:
        item.image = states.analog;
        break;
      case TreeItemKind::Channel:
        item.image = FlagImage(selection.analog, item.index);
        break;
      case TreeItemKind::MarkerBranch:
        item.image = states.points;
        break;
      case TreeItemKind::Point:
        item.image = FlagImage(selection.points, item.index);
        break;
    }
  }
}

ToggleEffect CSelectionTree::Toggle(int id, CExportSelection& selection) const {
  if (id < 0 || id >= Count()) return ToggleEffect::None;
  const CTreeItem& item = Item(id);
  const char v = item.image != kImageUnchecked ? '0' : '1';
  // The item is identified by its code, read back digit by digit.
  const CItemCodeParts code = DecodeItemCode(item.code);
  switch (code.branch) {
    case 1:
      selection.header = selection.header != 0 ? 0 : 1;
      return ToggleEffect::Header;
    case 2:
      if (code.kind < 0) {
        SetAll(selection.groups, v);
        SetAll(selection.params, v);
      } else if (code.kind == 1) {
        SetFlag(selection.groups, code.index, v);
      } else if (code.kind == 2) {
        SetFlag(selection.params, code.index, v);
      }
      break;
    case 3:
      if (code.kind < 0) {
        SetAll(selection.analog, v);
        SetAll(selection.points, v);
      } else if (code.index < 0) {
        if (code.kind == 1) SetAll(selection.analog, v);
        if (code.kind == 2) SetAll(selection.points, v);
      } else if (code.kind == 1) {
        SetFlag(selection.analog, code.index, v);
      } else if (code.kind == 2) {
        SetFlag(selection.points, code.index, v);
      }
      break;
    default:
      return ToggleEffect::None;
  }
  return ToggleEffect::Selection;
}
