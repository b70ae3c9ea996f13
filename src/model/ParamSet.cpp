#include "model/ParamSet.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "platform/Text.h"

const char* ParamTypeName(std::int16_t type) {
  switch (type) {
    case kParamChar:
      return "CHAR";
    case kParamByte:
      return "BYTE";
    case kParamInt:
      return "INT";
    case kParamFloat:
      return "FLOAT";
    default:
      return "";
  }
}

float CParam::GetValue(int i) const {
  if (i < 0 || i >= elementCount || static_cast<std::size_t>(i) >= values.size()) return 0.0f;
  switch (type) {
    case kParamByte:
      return static_cast<float>(GetByte(i));
    case kParamInt:
      return static_cast<float>(GetInt(i));
    case kParamFloat:
      return GetFloat(i);
    default:
      return 0.0f;
  }
}

float CParam::GetSignedValue(int i, float fallback) const {
  if (i < 0 || i >= elementCount || static_cast<std::size_t>(i) >= values.size()) return fallback;
  switch (type) {
    case kParamByte:
      return static_cast<float>(static_cast<std::int8_t>(GetByte(i)));
    case kParamInt:
      return static_cast<float>(GetInt(i));
    case kParamFloat:
      return GetFloat(i);
    default:
      return fallback;
  }
}

const std::string& CParam::GetString(int i) const {
  static const std::string empty;
  if (i < 0 || static_cast<std::size_t>(i) >= strings.size()) return empty;
  return strings[i];
}

void CParam::SetFloat(int i, float v) {
  values[i] = std::bit_cast<std::uint32_t>(v);
}
float CParam::GetFloat(int i) const {
  return std::bit_cast<float>(values[i]);
}

int CParamSet::FindParameter(std::string_view group, std::string_view param) const {
  for (const CGroup& g : groups) {
    if (!EqualsNoCase(g.name, group)) continue;
    const int number = std::abs(g.number);
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (params[i].groupNumber == number && EqualsNoCase(params[i].name, param)) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  return -1;
}

const CParam* CParamSet::Find(std::string_view group, std::string_view param) const {
  const int i = FindParameter(group, param);
  return i < 0 ? nullptr : &params[i];
}

std::string CParamSet::GetGroupName(const CParam& param) const {
  for (const CGroup& g : groups) {
    if (std::abs(g.number) == param.groupNumber) return g.name;
  }
  return {};
}

void CParamSet::AddGroup(std::string name, std::string description, int number) {
  CGroup g;
  g.name = std::move(name);
  g.description = std::move(description);
  g.number = number;
  g.locked = 1;
  groups.push_back(std::move(g));
}

namespace {
CParam& NewParam(std::vector<CParam>& params, int groupNumber, std::string name,
                 std::string description, std::int16_t type) {
  CParam& p = params.emplace_back();
  p.name = std::move(name);
  p.description = std::move(description);
  p.groupNumber = groupNumber;
  p.type = type;
  p.locked = 1;
  return p;
}
}  // namespace

CParam& CParamSet::AddScalarParam(int groupNumber, std::string name, std::string description,
                                  std::int16_t type, float value) {
  CParam& p = NewParam(params, groupNumber, std::move(name), std::move(description), type);
  p.elementCount = 1;
  p.values.assign(1, 0);
  switch (type) {
    case kParamByte:
      p.SetByte(0, static_cast<std::uint8_t>(static_cast<int>(value)));
      break;
    case kParamInt:
      p.SetInt(0, static_cast<std::int16_t>(static_cast<int>(value)));
      break;
    default:
      p.SetFloat(0, value);
      break;
  }
  return p;
}

CParam& CParamSet::AddArrayParam(int groupNumber, std::string name, std::string description,
                                 std::int16_t type, int n) {
  CParam& p = NewParam(params, groupNumber, std::move(name), std::move(description), type);
  n = std::max(n, 0);
  p.dimensions.assign(1, static_cast<std::uint8_t>(n & 0xFF));
  p.elementCount = n;
  p.values.assign(static_cast<std::size_t>(n), 0);
  return p;
}

CParam& CParamSet::AddStringParam(int groupNumber, std::string name, std::string description,
                                  int n) {
  CParam& p = NewParam(params, groupNumber, std::move(name), std::move(description), kParamChar);
  n = std::max(n, 0);
  p.dimensions = {0, static_cast<std::uint8_t>(n & 0xFF)};
  p.elementCount = n;
  p.strings.assign(static_cast<std::size_t>(n), std::string());
  return p;
}

void CParamSet::FinishStringParam(CParam& param) {
  std::size_t width = 0;
  for (const std::string& s : param.strings) width = std::max(width, s.size());
  if (param.dimensions.empty()) param.dimensions.push_back(0);
  param.dimensions[0] = static_cast<std::uint8_t>(std::min<std::size_t>(width, 255));
}

CContinuedStrings::CContinuedStrings(const CParamSet& set, std::string_view group,
                                     std::string_view name) {
  const CParam* part = set.Find(group, name);
  for (int n = 2; part != nullptr && part->type == kParamChar; ++n) {
    m_parts.push_back(part);
    m_count += static_cast<int>(part->strings.size());
    part = set.Find(group, std::string(name) + std::to_string(n));
  }
}

const std::string* CContinuedStrings::At(int i) const {
  if (i < 0) return nullptr;
  for (const CParam* part : m_parts) {
    const auto n = static_cast<int>(part->strings.size());
    if (i < n) return &part->strings[static_cast<std::size_t>(i)];
    i -= n;
  }
  return nullptr;
}
