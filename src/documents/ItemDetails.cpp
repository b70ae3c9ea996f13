#include "documents/ItemDetails.h"

#include <algorithm>
#include <cstdlib>

#include "documents/RecordingEvents.h"
#include "export/ItemLabels.h"
#include "formats/FormatDescription.h"
#include "platform/Text.h"

const char kRawCountsUnit[] = "raw converter counts";

namespace {

constexpr const char* kYes = "Yes";
constexpr const char* kNo = "No";
constexpr const char* kCoordinateSuffix[3] = {" x", " y", " z"};

const char* YesNo(int v) {
  return v != 0 ? kYes : kNo;
}

// Element i of a parameter as the info command and the tables show it.
std::string ValueText(const CParam& p, int i) {
  switch (p.type) {
    case kParamChar:
      return p.GetString(i);
    case kParamFloat:
      return Format("%g", static_cast<double>(p.GetValue(i)));
    case kParamByte:
      return Format("%d", static_cast<int>(p.GetByte(i)));
    case kParamInt:
      return Format("%d", static_cast<int>(p.GetInt(i)));
    default:
      return {};
  }
}

int ValueCount(const CParam& p) {
  if (p.type == kParamChar) return static_cast<int>(p.strings.size());
  return p.IsNumeric() ? std::min(p.elementCount, static_cast<int>(p.values.size())) : 0;
}

const char* TypeText(const CParam& p) {
  const char* name = ParamTypeName(p.type);
  return *name != '\0' ? name : "OTHER";
}

// The header lines of the general DST export read back into (field, value).
CDetailsTable HeaderTable(const CRecording& rec, const CFormatDescription& format) {
  CDetailsTable t;
  t.columns = {"Field", "Value"};
  if (format.dstHeaderLines == nullptr) return t;
  const std::string lines = format.dstHeaderLines(rec);  // the fields point into it
  for (const CHeaderField& f : ParseDstKeyLines(lines)) {
    t.rows.push_back({std::string(f.label), f.value});
  }
  return t;
}

CDetailsTable EventTable(const CRecording& rec, const CFormatDescription& format) {
  CDetailsTable t;
  t.caption = "Events";
  t.columns = {"Label", "Context", "Frame", "Time"};
  for (const CRecordingEvent& e : RecordingEvents(rec, format)) {
    t.rows.push_back({e.label, e.context, Format("%d", e.frame), Format("%.4f", e.time)});
  }
  return t;
}

CDetailsTable GroupsTable(const CParamSet& set) {
  CDetailsTable t;
  t.columns = {"Name", "Number", "Description", "Locked"};
  for (const CGroup& g : set.groups) {
    t.rows.push_back({g.name, Format("%d", g.number), g.description, YesNo(g.locked)});
  }
  return t;
}

std::vector<std::string> ParamRow(const CParam& p) {
  return {p.name,        TypeText(p),    ParamDimensionsText(p), ParamFirstValues(p),
          p.description, YesNo(p.locked)};
}

CDetailsTable ParamsOfGroup(const CParamSet& set, const CGroup& g) {
  CDetailsTable t;
  t.columns = {"Name", "Type", "Dimensions", "Values", "Description", "Locked"};
  const int number = g.number < 0 ? -g.number : g.number;
  for (const CParam& p : set.params) {
    if (std::abs(p.groupNumber) == number) t.rows.push_back(ParamRow(p));
  }
  return t;
}

CDetailsTable ParamProperties(const CParamSet& set, const CParam& p) {
  CDetailsTable t;
  t.columns = {"Property", "Value"};
  t.rows = {{"Name", p.name},
            {"Group", set.GetGroupName(p)},
            {"Type", TypeText(p)},
            {"Dimensions", ParamDimensionsText(p)},
            {"Description", p.description},
            {"Locked", YesNo(p.locked)}};
  return t;
}

// Every value: a list for CHAR and one-dimensional numbers, a grid with the
// first dimension across for more dimensions.
CDetailsTable ParamValues(const CParam& p) {
  CDetailsTable t;
  t.caption = "Values";
  const int n = ValueCount(p);
  const bool grid = p.type != kParamChar && p.dimensions.size() >= 2 && p.dimensions[0] > 0;
  if (!grid) {
    t.columns = {"Value"};
    for (int i = 0; i < n; ++i) {
      t.rowTitles.push_back(Format("%d", i + 1));
      t.rows.push_back({ValueText(p, i)});
    }
    return t;
  }
  const int across = p.dimensions[0];
  for (int c = 0; c < across; ++c) t.columns.push_back(Format("%d", c + 1));
  // Row titles: the indices of the further dimensions, the second first.
  std::vector<int> index(p.dimensions.size() - 1, 0);
  for (int at = 0; at < n; at += across) {
    std::string title;
    for (std::size_t d = 0; d < index.size(); ++d) {
      if (d > 0) title += ',';
      title += std::to_string(index[d] + 1);
    }
    t.rowTitles.push_back(title);
    std::vector<std::string> row;
    for (int c = 0; c < across && at + c < n; ++c) row.push_back(ValueText(p, at + c));
    t.rows.push_back(std::move(row));
    for (std::size_t d = 0; d < index.size(); ++d) {
      if (++index[d] < p.dimensions[d + 1]) break;
      index[d] = 0;
    }
  }
  return t;
}

// Names, descriptions and units of channels or points, continuations included.
struct CItemTexts {
  CContinuedStrings labels, descriptions, units;
  CItemTexts(const CParamSet& set, const char* group)
      : labels(set, group, "Labels"),
        descriptions(set, group, "Descriptions"),
        units(set, group, "Units") {}
  static std::string At(const CContinuedStrings& s, int i) {
    const std::string* v = s.At(i);
    return v != nullptr ? *v : std::string();
  }
};

// Channel k's unit as shown, from the units already looked up.
std::string UnitShown(const CContinuedStrings& units, const CFormatDescription& format, int k) {
  if (!format.analogScalable) return kRawCountsUnit;
  return CItemTexts::At(units, k);
}

double AnalogRate(const CRecording& rec, const CFormatDescription& format) {
  const double frameRate = PlotFrameRate(rec, format);
  return format.allAnalogSamples ? frameRate * std::max(rec.analogRatio, 1) : frameRate;
}

CDetailsTable ChannelProperties(const CRecording& rec, const CFormatDescription& format, int k) {
  const CItemTexts texts(rec.paramSet, "Analog");
  const CAnalog& a = rec.analog[static_cast<std::size_t>(k)];
  CDetailsTable t;
  t.columns = {"Property", "Value"};
  const bool scalable = format.analogScalable;
  t.rows = {
      {"Label", ItemLabel(texts.labels, k, format.channelLabelFormat)},
      {"Description", CItemTexts::At(texts.descriptions, k)},
      {"Unit", UnitShown(texts.units, format, k)},
      {"Scale", Format("%g", static_cast<double>(scalable ? rec.GetScale(k) : 1.0f))},
      {"Offset",
       Format("%g", static_cast<double>(scalable ? rec.GetOffset(k, format.defaultOffset) : 0.0f))},
      {"General scale", Format("%g", static_cast<double>(scalable ? rec.GetGenScale() : 1.0f))},
      {"Rate", Format("%g Hz", AnalogRate(rec, format))},
      {"Raw range",
       Format("%g to %g", static_cast<double>(a.minimum), static_cast<double>(a.maximum))},
  };
  // Samples that are never scaled are counts whatever unit the file names.
  const std::string stored = CItemTexts::At(texts.units, k);
  if (!scalable && !stored.empty()) t.rows.insert(t.rows.begin() + 3, {"Unit in the file", stored});
  return t;
}

std::string FrameNumberOf(const CRecording& rec, int index) {
  return index < 0 ? std::string("none") : Format("%d", rec.firstFrame + index);
}

CDetailsTable PointProperties(const CRecording& rec, int j) {
  const CItemTexts texts(rec.paramSet, "Point");
  const CVideo& v = rec.points[static_cast<std::size_t>(j)];
  const float f = rec.integerData ? rec.markerScale : 1.0f;
  auto range = [f](float lo, float hi) {
    return Format("%g to %g", static_cast<double>(lo * f), static_cast<double>(hi * f));
  };
  CDetailsTable t;
  t.columns = {"Property", "Value"};
  t.rows = {
      {"Label", ItemLabel(texts.labels, j, kMarkerLabelFormat)},
      {"Description", CItemTexts::At(texts.descriptions, j)},
      // POINT:UNITS names one unit for every point.
      {"Unit", CItemTexts::At(texts.units, 0)},
      {"First valid frame", FrameNumberOf(rec, rec.FirstValidFrame(j))},
      {"Last valid frame", FrameNumberOf(rec, rec.LastValidFrame(j))},
      {"X range", range(v.minX, v.maxX)},
      {"Y range", range(v.minY, v.maxY)},
      {"Z range", range(v.minZ, v.maxZ)},
  };
  return t;
}

CDetailsTable ChannelList(const CRecording& rec, const CFormatDescription& format) {
  const CItemTexts texts(rec.paramSet, "Analog");
  CDetailsTable t;
  t.caption = "Analog";
  t.columns = {"Label", "Description", "Unit", "Raw range"};
  for (int k = 0; k < rec.AnalogCount(); ++k) {
    const CAnalog& a = rec.analog[static_cast<std::size_t>(k)];
    t.rows.push_back(
        {ItemLabel(texts.labels, k, format.channelLabelFormat),
         CItemTexts::At(texts.descriptions, k), UnitShown(texts.units, format, k),
         Format("%g to %g", static_cast<double>(a.minimum), static_cast<double>(a.maximum))});
  }
  return t;
}

CDetailsTable PointList(const CRecording& rec) {
  const CItemTexts texts(rec.paramSet, "Point");
  CDetailsTable t;
  t.caption = "Marker";
  t.columns = {"Label", "Description", "First valid frame", "Last valid frame"};
  for (int j = 0; j < rec.PointCount(); ++j) {
    t.rows.push_back(
        {ItemLabel(texts.labels, j, kMarkerLabelFormat), CItemTexts::At(texts.descriptions, j),
         FrameNumberOf(rec, rec.FirstValidFrame(j)), FrameNumberOf(rec, rec.LastValidFrame(j))});
  }
  return t;
}

void AddSeriesOf(const CRecording& rec, const CFormatDescription& format, const CTreeItem& item,
                 std::vector<CPlotSeries>& out) {
  if (item.index < 0) return;
  if (item.kind == TreeItemKind::Channel && item.index < rec.AnalogCount()) {
    out.push_back(ChannelSeries(rec, format, item.index, item.text));
  } else if (item.kind == TreeItemKind::Point && item.index < rec.PointCount()) {
    for (int c = 0; c < 3; ++c) {
      out.push_back(PointSeries(rec, item.index, c, item.text + kCoordinateSuffix[c]));
    }
  }
}

}  // namespace

std::string ChannelUnit(const CRecording& rec, const CFormatDescription& format, int k) {
  return UnitShown(CContinuedStrings(rec.paramSet, "Analog", "Units"), format, k);
}

std::string ParamDimensionsText(const CParam& p) {
  std::string s = "[";
  for (std::size_t i = 0; i < p.dimensions.size(); ++i) {
    if (i > 0) s += ',';
    s += std::to_string(p.dimensions[i]);
  }
  return s + "]";
}

std::string ParamFirstValues(const CParam& p) {
  constexpr int kShown = 6;
  std::string s;
  const int n = p.type == kParamChar ? static_cast<int>(p.strings.size()) : p.elementCount;
  for (int i = 0; i < n && i < kShown; ++i) {
    if (i > 0) s += ' ';
    if (p.type == kParamChar) {
      s += "\"" + p.GetString(i) + "\"";
    } else if (p.IsNumeric()) {
      s += ValueText(p, i);
    }
  }
  if (n > kShown) s += Format(" ... (%d values)", n);
  return s;
}

double PlotFrameRate(const CRecording& rec, const CFormatDescription& format) {
  const double rate = format.frameRate != nullptr ? format.frameRate(rec) : 0.0;
  return rate > 0.0 ? rate : 0.0;
}

CItemDetails DescribeItems(const CRecording& rec, const CFormatDescription& format,
                           const CSelectionTree& tree, int current,
                           const std::vector<int>& chosen) {
  CItemDetails d;
  const CParamSet& set = rec.paramSet;
  if (current >= 0 && current < tree.Count()) {
    const CTreeItem& item = tree.Item(current);
    d.title = item.text;
    const auto i = static_cast<std::size_t>(std::max(item.index, 0));
    switch (item.kind) {
      case TreeItemKind::Root:
      case TreeItemKind::Header:
        d.tables.push_back(HeaderTable(rec, format));
        if (format.hasEvents) d.tables.push_back(EventTable(rec, format));
        break;
      case TreeItemKind::Parameters:
        d.tables.push_back(GroupsTable(set));
        break;
      case TreeItemKind::Group:
        if (i < set.groups.size()) d.tables.push_back(ParamsOfGroup(set, set.groups[i]));
        break;
      case TreeItemKind::Parameter:
        if (i < set.params.size()) {
          d.tables.push_back(ParamProperties(set, set.params[i]));
          d.tables.push_back(ParamValues(set.params[i]));
        }
        break;
      case TreeItemKind::Data:
        d.tables.push_back(ChannelList(rec, format));
        if (format.hasPoints) d.tables.push_back(PointList(rec));
        break;
      case TreeItemKind::AnalogBranch:
        d.tables.push_back(ChannelList(rec, format));
        break;
      case TreeItemKind::MarkerBranch:
        d.tables.push_back(PointList(rec));
        break;
      case TreeItemKind::Channel:
        if (item.index < rec.AnalogCount()) {
          d.tables.push_back(ChannelProperties(rec, format, item.index));
        }
        break;
      case TreeItemKind::Point:
        if (item.index < rec.PointCount()) d.tables.push_back(PointProperties(rec, item.index));
        break;
    }
  }
  // The plot: every chosen channel and point, in tree order; the current item
  // alone when nothing else is chosen.
  std::vector<int> ids = chosen;
  if (std::find(ids.begin(), ids.end(), current) == ids.end()) ids.push_back(current);
  std::sort(ids.begin(), ids.end());
  for (int id : ids) {
    if (id >= 0 && id < tree.Count()) AddSeriesOf(rec, format, tree.Item(id), d.series);
  }
  return d;
}
