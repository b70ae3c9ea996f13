#include "app/OptionsPages.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <variant>

#include "app/Kinex2App.h"
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

const COptionsPageInfo kPages[kOptionsPageCount] = {
    {"DST Export", {"OPTION", "VALUE"}},
    {"Text Export", {"OPTION", "VALUE"}},
    {"C3D Selection", {"File Element", "Output?"}},
    {"VAD Selection", {"File Element", "Output?"}},
    {"ADC Selection", {"File Element", "Output?"}},
    {"ADC Parameters", {"Parameter", "Value"}},
    {"MAC Selection", {"File Element", "Output?"}},
    {"CODAS Selection", {"File Element", "Output?"}},
    {"BTS Selection", {"File Element", "Output?"}},
};

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
  FieldRef (*ref)(COptionsValues&);
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

// The fixed rows of a selection page; the rows of its group names follow.
template <SelectionFormat F>
FieldRef Header(COptionsValues& v) {
  return &v.selections[static_cast<std::size_t>(F)].Header;
}
template <SelectionFormat F>
FieldRef AnalogData(COptionsValues& v) {
  return &v.selections[static_cast<std::size_t>(F)].AnalogData;
}
template <SelectionFormat F>
std::vector<CField> SelectionFields() {
  return {{"Header", Kind::YesNo, Header<F>}, {"Analog Data", Kind::YesNo, AnalogData<F>}};
}

std::vector<CField> FieldsOf(OptionsPage page) {
  switch (page) {
    case OptionsPage::Dst:
      return {std::begin(kDstFields), std::end(kDstFields)};
    case OptionsPage::Text:
      return {std::begin(kTextFields), std::end(kTextFields)};
    case OptionsPage::AdcParameters:
      return {std::begin(kAdcParameterFields), std::end(kAdcParameterFields)};
    case OptionsPage::C3d: {
      std::vector<CField> f = SelectionFields<SelectionFormat::C3d>();
      f.push_back({"Marker Data", Kind::YesNo, [](COptionsValues& v) -> FieldRef {
                     return &v.selections[static_cast<std::size_t>(SelectionFormat::C3d)].VideoData;
                   }});
      return f;
    }
    case OptionsPage::Mac: {
      std::vector<CField> f = SelectionFields<SelectionFormat::Mac>();
      f.push_back({"Scale factor for Veltro Output", Kind::Decimal,
                   [](COptionsValues& v) -> FieldRef {
                     return &v.selections[static_cast<std::size_t>(SelectionFormat::Mac)].Scale;
                   },
                   kPromptScale});
      return f;
    }
    case OptionsPage::Vad:
      return SelectionFields<SelectionFormat::Vad>();
    case OptionsPage::Adc:
      return SelectionFields<SelectionFormat::Adc>();
    case OptionsPage::Codas:
      return SelectionFields<SelectionFormat::Codas>();
    case OptionsPage::Bts:
      return SelectionFields<SelectionFormat::Bts>();
  }
  return {};
}

// The selection a page edits, or null for the export and ADC parameter pages.
ExportSelection* SelectionOf(OptionsPage page, COptionsValues& v) {
  const auto at = [&v](SelectionFormat f) { return &v.selections[static_cast<std::size_t>(f)]; };
  switch (page) {
    case OptionsPage::C3d:
      return at(SelectionFormat::C3d);
    case OptionsPage::Vad:
      return at(SelectionFormat::Vad);
    case OptionsPage::Adc:
      return at(SelectionFormat::Adc);
    case OptionsPage::Mac:
      return at(SelectionFormat::Mac);
    case OptionsPage::Codas:
      return at(SelectionFormat::Codas);
    case OptionsPage::Bts:
      return at(SelectionFormat::Bts);
    case OptionsPage::Dst:
    case OptionsPage::Text:
    case OptionsPage::AdcParameters:
      break;
  }
  return nullptr;
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

const COptionsPageInfo& PageInfo(OptionsPage page) {
  return kPages[static_cast<std::size_t>(page)];
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
  return exportTo == 1 ? OptionsPage::Text : OptionsPage::Dst;
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
