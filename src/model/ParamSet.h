#pragma once
// The one parameter model of every file format: named groups and named, typed,
// dimensioned parameters. Groups and parameters are kept in the order they were
// read or created; a parameter belongs to the group whose number has the
// parameter's group number as absolute value (identity by number, not pointer).
// Views and exports hold indices into these lists, never ownership.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum ParamType : std::int16_t {
  kParamChar = -1,
  kParamByte = 1,
  kParamInt = 2,
  kParamFloat = 4,
};

// "CHAR", "BYTE", "INT" or "FLOAT"; empty for any other type code.
const char* ParamTypeName(std::int16_t type);

class CGroup {
 public:
  std::string name;  // as stored; comparisons ignore case
  int locked = 0;
  int number = 0;  // negative for a group
  std::string description;
};

class CParam {
 public:
  std::string name;
  int locked = 0;
  int groupNumber = 0;  // |number| of the owning group
  std::string description;
  std::int16_t type = 0;  // ParamType, or any other code as read (then no values)
  std::vector<std::uint8_t> dimensions;
  // Numeric types: product of all dimensions (1 for a scalar). CHAR: product of
  // the dimensions after the first; the first is the width of every string.
  int elementCount = 0;
  // One 4-byte slot per element of a BYTE, INT or FLOAT parameter, in host
  // order: a BYTE as an unsigned 8-bit value, an INT as the 16 bits of a
  // signed value, a FLOAT as the bits of an IEEE single.
  std::vector<std::uint32_t> values;
  std::vector<std::string> strings;  // CHAR: one per element, trimmed

  bool IsNumeric() const { return type == kParamByte || type == kParamInt || type == kParamFloat; }

  // Element i as a number: BYTE unsigned, INT signed 16-bit, FLOAT as stored.
  // 0.0 for an index out of range, a CHAR parameter or another type code.
  float GetValue(int i) const;
  // Element i for the scaling accessors, which read a BYTE as signed 8-bit.
  // `fallback` for an index out of range or a non-numeric type.
  float GetSignedValue(int i, float fallback) const;
  // String i of a CHAR parameter; empty when out of range.
  const std::string& GetString(int i) const;

  void SetByte(int i, std::uint8_t v) { values[i] = v; }
  void SetInt(int i, std::int16_t v) { values[i] = static_cast<std::uint16_t>(v); }
  void SetFloat(int i, float v);
  std::uint8_t GetByte(int i) const { return static_cast<std::uint8_t>(values[i]); }
  std::int16_t GetInt(int i) const { return static_cast<std::int16_t>(values[i]); }
  float GetFloat(int i) const;
};

class CParamSet {
 public:
  std::vector<CGroup> groups;
  std::vector<CParam> params;

  int GroupCount() const { return static_cast<int>(groups.size()); }
  int ParamCount() const { return static_cast<int>(params.size()); }

  // Index of the parameter named `param` in the first group named `group`
  // (both ignoring case), or -1. Later groups of the same name are not searched.
  int FindParameter(std::string_view group, std::string_view param) const;
  // The parameter itself, or nullptr.
  const CParam* Find(std::string_view group, std::string_view param) const;
  // Name of the first group whose |number| equals the parameter's group number;
  // empty when there is none.
  std::string GetGroupName(const CParam& param) const;

  // Construction for readers that synthesise a set; everything made is locked.
  void AddGroup(std::string name, std::string description, int number);
  CParam& AddScalarParam(int groupNumber, std::string name, std::string description,
                         std::int16_t type, float value);
  // One dimension byte holding n modulo 256; the element count keeps the full n.
  CParam& AddArrayParam(int groupNumber, std::string name, std::string description,
                        std::int16_t type, int n);
  // A CHAR parameter of n empty strings; call FinishStringParam once they are filled.
  CParam& AddStringParam(int groupNumber, std::string name, std::string description, int n);
  // Sets the width (first dimension) to the longest string's length (0 for none).
  static void FinishStringParam(CParam& param);

  void Clear() {
    groups.clear();
    params.clear();
  }
};

// A CHAR parameter followed by its continuations in the same group: a list
// longer than one parameter's 255 strings goes on in "<name>2", "<name>3", ...
// ("LABELS2", "DESCRIPTIONS2", "UNITS2"), each taking over where the one
// before ends. The chain stops at the first one missing or not CHAR; a
// missing or non-CHAR first parameter gives no strings at all.
class CContinuedStrings {
 public:
  CContinuedStrings() = default;
  // Borrows the parameters of `set`, which must outlive this object.
  CContinuedStrings(const CParamSet& set, std::string_view group, std::string_view name);
  int Count() const { return m_count; }
  // String i of the whole chain, or nullptr outside 0 .. Count() - 1.
  const std::string* At(int i) const;

 private:
  std::vector<const CParam*> m_parts;
  int m_count = 0;
};

// The per-format names of the one model.
using CAdcParam = CParam;
using CAdcGroup = CGroup;
using CBtsParam = CParam;
using CBtsGroup = CGroup;
using CCodParam = CParam;
using CCodGroup = CGroup;
using CMacParam = CParam;
using CMacGroup = CGroup;
using CVadParam = CParam;
using CVadGroup = CGroup;
