#include "app/OptionsPages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <type_traits>
#include <variant>

#include "app/Kinex2App.h"
#include "documents/FormatRegistry.h"
#include "platform/Text.h"

const char kOptionsCaption[] = "Kinex2 Options";

namespace {

constexpr char kYes[] = "Yes";
constexpr char kNo[] = "No";
constexpr char kPromptBetween[] = "Enter value between %d and %d, both inclusive";
constexpr char kPromptScale[] = "Enter value for the scale factor";
constexpr char kPromptGenScale[] = "Enter a value for Gen_Scale";
constexpr const char* kLexicons[] = {"ORV", "VDO", "Veltro"};
constexpr int kPrecisionMax = 8;
constexpr int kColumnWidthMin = 1;
constexpr int kColumnWidthMax = 40;
constexpr float kGenScaleLimit = 100000.0f;

constexpr char kDstCaption[] = "DST Export";
constexpr char kTextCaption[] = "Text Export";

// The sheet's pages: the two export pages, then each format's.
struct CPage {
  enum class Kind { Dst, Text, Selection, Reading } kind;
  std::size_t format = 0;  // in the table of formats, for the format pages
};

const std::vector<CPage>& Pages() {
  static const std::vector<CPage> pages = [] {
    std::vector<CPage> p = {{CPage::Kind::Dst}, {CPage::Kind::Text}};
    for (const CFormatEntry& f : Formats()) {
      p.push_back({CPage::Kind::Selection, FormatIndex(f)});
      if (f.readingOptionsCaption != nullptr) p.push_back({CPage::Kind::Reading, FormatIndex(f)});
    }
    return p;
  }();
  return pages;
}

CPage PageAt(OptionsPage page) {
  const std::vector<CPage>& pages = Pages();
  return page >= 0 && static_cast<std::size_t>(page) < pages.size()
             ? pages[static_cast<std::size_t>(page)]
             : pages[0];
}

OptionsPage PageOf(CPage::Kind kind, std::size_t format) {
  const std::vector<CPage>& pages = Pages();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].kind == kind && pages[i].format == format) return static_cast<OptionsPage>(i);
  }
  return -1;
}

// What a fixed row shows and how it changes.
enum class Kind {
  YesNo,      // toggle
  FrameTime,  // "Frame" (1) / "Time" (0), toggle
  Lexicon,    // step over kLexicons
  Delimiter,  // step over the delimiter names
  Rate,       // step over the ADC video rates, shown "%.2f"
  Whole,      // Enter Value, "%d"
  Decimal,    // Enter Value, "%.6f"
};

using FieldRef = std::variant<int*, std::uint8_t*, std::uint16_t*, float*>;

struct CField {
  const char* caption;
  Kind kind;
  std::function<FieldRef(COptionsValues&)> ref;
  // Enter Value rows.
  const char* prompt = nullptr;
  bool rangeCheck = false;
  float minimum = 0;
  float maximum = 0;
};

const CField kDstFields[] = {
    {"Analogue Data Scaled", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.dst.AnalogScaled; }},
    {"Video Data Scaled", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.dst.VideoScaled; }},
    {"Show Residual", Kind::YesNo, [](COptionsValues& v) -> FieldRef { return &v.dst.ShowResid; }},
    {"Show Mask", Kind::YesNo, [](COptionsValues& v) -> FieldRef { return &v.dst.ShowMask; }},
    {"Output Precision", Kind::Whole,
     [](COptionsValues& v) -> FieldRef { return &v.dst.Precision; }, kPromptBetween, true, 0,
     kPrecisionMax},
    {"Lexicon", Kind::Lexicon, [](COptionsValues& v) -> FieldRef { return &v.dst.Dstlexicon; }},
};

const CField kTextFields[] = {
    {"Analogue Data Scaled", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.AnalogScaled; }},
    {"Analogue Column Names", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.AnalogColNames; }},
    {"Video Data Scaled", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.VideoScaled; }},
    {"Video Column Names", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.VideoColNames; }},
    {"Show Residual", Kind::YesNo, [](COptionsValues& v) -> FieldRef { return &v.text.ShowResid; }},
    {"Show Mask", Kind::YesNo, [](COptionsValues& v) -> FieldRef { return &v.text.ShowMask; }},
    {"Output Precision", Kind::Whole,
     [](COptionsValues& v) -> FieldRef { return &v.text.Precision; }, kPromptBetween, true, 0,
     kPrecisionMax},
    {"Delimiter", Kind::Delimiter, [](COptionsValues& v) -> FieldRef { return &v.text.Delimiter; }},
    {"Samples by Frame/Time", Kind::FrameTime,
     [](COptionsValues& v) -> FieldRef { return &v.text.SamplesByFrame; }},
    {"Start Frames at 1", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.StartAtZero; }},
    {"Double Delimit Trajectory", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.DoubleLimitTrajectory; }},
    {"Column Width", Kind::Whole, [](COptionsValues& v) -> FieldRef { return &v.text.ColumnWidth; },
     kPromptBetween, true, kColumnWidthMin, kColumnWidthMax},
    {"Delimit Column Names", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.DelimitColNames; }},
    {"Mean & Standard Dev.", Kind::YesNo,
     [](COptionsValues& v) -> FieldRef { return &v.text.Mean_StdDev; }},
};

const CField kAdcParameterFields[] = {
    {"Gen_Scale", Kind::Decimal, [](COptionsValues& v) -> FieldRef { return &v.adc.Gen_Scale; },
     kPromptGenScale, true, -kGenScaleLimit, kGenScaleLimit},
    {"Video Rate", Kind::Rate, [](COptionsValues& v) -> FieldRef { return &v.adc.RateIndex; }},
};

// The fixed rows of format f's selection page (the header and analog flags,
// the marker flag where it has points, the EMG report's scale where that
// takes one); the rows of its group names follow.
std::vector<CField> SelectionFields(std::size_t f) {
  const CFormatDescription& d = Formats()[f].description();
  std::vector<CField> fields = {
      {"Header", Kind::YesNo,
       [f](COptionsValues& v) -> FieldRef { return &v.selections[f].Header; }},
      {"Analog Data", Kind::YesNo,
       [f](COptionsValues& v) -> FieldRef { return &v.selections[f].AnalogData; }}};
  if (d.hasPoints) {
    fields.push_back({"Marker Data", Kind::YesNo,
                      [f](COptionsValues& v) -> FieldRef { return &v.selections[f].VideoData; }});
  }
  if (d.expScaledBySetting) {
    fields.push_back({"Scale factor for Veltro Output", Kind::Decimal,
                      [f](COptionsValues& v) -> FieldRef { return &v.selections[f].Scale; },
                      kPromptScale});
  }
  return fields;
}

std::vector<CField> FieldsOf(OptionsPage page) {
  const CPage p = PageAt(page);
  switch (p.kind) {
    case CPage::Kind::Dst:
      return {std::begin(kDstFields), std::end(kDstFields)};
    case CPage::Kind::Text:
      return {std::begin(kTextFields), std::end(kTextFields)};
    case CPage::Kind::Reading:
      return {std::begin(kAdcParameterFields), std::end(kAdcParameterFields)};
    case CPage::Kind::Selection:
      return SelectionFields(p.format);
  }
  return {};
}

// The selection a page edits, or null for the export and reading pages.
ExportSelection* SelectionOf(OptionsPage page, COptionsValues& v) {
  const CPage p = PageAt(page);
  if (p.kind != CPage::Kind::Selection || p.format >= v.selections.size()) return nullptr;
  return &v.selections[p.format];
}

double Get(const FieldRef& ref) {
  return std::visit([](auto* p) { return static_cast<double>(*p); }, ref);
}
void SetWhole(const FieldRef& ref, long long value) {
  std::visit([value](auto* p) { *p = static_cast<std::remove_reference_t<decltype(*p)>>(value); },
             ref);
}

int StepCount(Kind kind) {
  switch (kind) {
    case Kind::Lexicon:
      return static_cast<int>(std::size(kLexicons));
    case Kind::Delimiter:
      return static_cast<int>(CKinex2App::kDelimiterNames.size());
    case Kind::Rate:
      return static_cast<int>(std::size(kAdcVideoRates));
    default:
      return 2;
  }
}

// A stored index past its list shows (and steps on) as its first entry, as
// the settings read it.
std::size_t ListIndex(double value, Kind kind) {
  const int i = static_cast<int>(value);
  return i >= 0 && i < StepCount(kind) ? static_cast<std::size_t>(i) : 0;
}

std::string Shown(const CField& field, COptionsValues& values) {
  const double v = Get(field.ref(values));
  switch (field.kind) {
    case Kind::YesNo:
      return v != 0 ? kYes : kNo;
    case Kind::FrameTime:
      return v != 0 ? "Frame" : "Time";
    case Kind::Lexicon:
      return kLexicons[ListIndex(v, field.kind)];
    case Kind::Delimiter:
      return std::string(CKinex2App::kDelimiterNames[ListIndex(v, field.kind)]);
    case Kind::Rate:
      return Format("%.2f", static_cast<double>(kAdcVideoRates[ListIndex(v, field.kind)]));
    case Kind::Whole:
      return Format("%d", static_cast<int>(v));
    case Kind::Decimal:
      return Format("%.6f", v);
  }
  return {};
}

COptionRow RowOf(const CField& field, COptionsValues& values) {
  COptionRow row;
  row.caption = field.caption;
  row.value = Shown(field, values);
  switch (field.kind) {
    case Kind::YesNo:
    case Kind::FrameTime:
      row.edit = OptionEdit::Toggle;
      break;
    case Kind::Lexicon:
    case Kind::Delimiter:
    case Kind::Rate:
      row.edit = OptionEdit::Step;
      break;
    case Kind::Whole:
    case Kind::Decimal:
      row.edit = OptionEdit::EnterValue;
      row.rangeCheck = field.rangeCheck;
      row.minimum = field.minimum;
      row.maximum = field.maximum;
      // Whole numbers name their range in the prompt.
      row.prompt = field.kind == Kind::Whole
                       ? Format(kPromptBetween, static_cast<int>(field.minimum),
                                static_cast<int>(field.maximum))
                       : field.prompt;
      break;
  }
  return row;
}

}  // namespace

COptionsValues COptionsValues::From(const CKinex2App& app) {
  return {app.dstOptions, app.textOptions, app.selections, app.adcParam};
}

void COptionsValues::CopyTo(CKinex2App& app) const {
  app.dstOptions = dst;
  app.textOptions = text;
  app.selections = selections;
  app.adcParam = adc;
}

int OptionsPageCount() {
  return static_cast<int>(Pages().size());
}
OptionsPage DstOptionsPage() {
  return PageOf(CPage::Kind::Dst, 0);
}
OptionsPage TextOptionsPage() {
  return PageOf(CPage::Kind::Text, 0);
}
OptionsPage SelectionOptionsPage(const CFormatEntry& format) {
  return PageOf(CPage::Kind::Selection, FormatIndex(format));
}
OptionsPage ReadingOptionsPage(const CFormatEntry& format) {
  return PageOf(CPage::Kind::Reading, FormatIndex(format));
}

COptionsPageInfo PageInfo(OptionsPage page) {
  const CPage p = PageAt(page);
  switch (p.kind) {
    case CPage::Kind::Dst:
      return {kDstCaption, {"OPTION", "VALUE"}};
    case CPage::Kind::Text:
      return {kTextCaption, {"OPTION", "VALUE"}};
    case CPage::Kind::Selection:
      return {Formats()[p.format].optionsCaption, {"File Element", "Output?"}};
    case CPage::Kind::Reading:
      break;
  }
  return {Formats()[p.format].readingOptionsCaption, {"Parameter", "Value"}};
}

std::vector<COptionRow> PageRows(OptionsPage page, const COptionsValues& values) {
  // The fields hand out pointers for changing; a copy is read through them.
  COptionsValues v = values;
  std::vector<COptionRow> rows;
  for (const CField& f : FieldsOf(page)) rows.push_back(RowOf(f, v));
  if (const ExportSelection* s = SelectionOf(page, v)) {
    for (std::size_t i = 0; i < s->groupNames.size(); ++i) {
      const bool on = i < s->groupFlags.size() && s->groupFlags[i] != 0;
      COptionRow row;
      row.caption = s->groupNames[i];
      row.value = on ? kYes : kNo;
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

bool ChangeRow(OptionsPage page, int row, COptionsValues& values) {
  if (row < 0) return false;
  const std::vector<CField> fields = FieldsOf(page);
  const auto r = static_cast<std::size_t>(row);
  if (r < fields.size()) {
    const CField& f = fields[r];
    const FieldRef ref = f.ref(values);
    switch (f.kind) {
      case Kind::YesNo:
      case Kind::FrameTime:
        SetWhole(ref, Get(ref) != 0 ? 0 : 1);
        return true;
      case Kind::Lexicon:
      case Kind::Delimiter:
      case Kind::Rate:
        SetWhole(ref, static_cast<long long>((ListIndex(Get(ref), f.kind) + 1) %
                                             static_cast<std::size_t>(StepCount(f.kind))));
        return true;
      case Kind::Whole:
      case Kind::Decimal:
        return false;
    }
    return false;
  }
  ExportSelection* s = SelectionOf(page, values);
  const std::size_t entry = r - fields.size();
  if (s == nullptr || entry >= s->groupNames.size()) return false;
  if (s->groupFlags.size() < s->groupNames.size()) s->groupFlags.resize(s->groupNames.size(), 0);
  s->groupFlags[entry] = s->groupFlags[entry] != 0 ? 0 : 1;
  return true;
}

bool SetRowValue(OptionsPage page, int row, const std::string& text, COptionsValues& values) {
  const std::vector<CField> fields = FieldsOf(page);
  if (row < 0 || static_cast<std::size_t>(row) >= fields.size()) return false;
  const CField& f = fields[static_cast<std::size_t>(row)];
  const FieldRef ref = f.ref(values);
  if (f.kind == Kind::Whole) {
    SetWhole(ref, LeadingInteger(text));
  } else if (f.kind == Kind::Decimal) {
    *std::get<float*>(ref) = LeadingDecimal(text);
  } else {
    return false;
  }
  return true;
}

OptionsPage FirstOptionsPage(int exportTo) {
  return exportTo == 1 ? TextOptionsPage() : DstOptionsPage();
}

void MergeGroupNames(ExportSelection& selection, const std::vector<std::string>& groupNames) {
  selection.groupFlags.resize(selection.groupNames.size(), 0);
  for (const std::string& name : groupNames) {
    bool held = false;
    for (const std::string& n : selection.groupNames) held = held || EqualsNoCase(n, name);
    if (held) continue;
    selection.groupNames.push_back(name);
    selection.groupFlags.push_back(1);
  }
}
