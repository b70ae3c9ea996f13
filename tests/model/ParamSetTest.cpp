#include "model/ParamSet.h"

#include <gtest/gtest.h>

namespace {

CParamSet AnalogSet() {
  CParamSet set;
  set.groups.push_back({"ANALOG", 0, -2, ""});
  CParam& scale = set.AddArrayParam(2, "Scale", "", kParamFloat, 2);
  scale.SetFloat(0, 0.5f);
  scale.SetFloat(1, 2.0f);
  return set;
}

TEST(ParamSetTest, LookupIgnoresCaseOfGroupAndParameter) {
  const CParamSet set = AnalogSet();
  EXPECT_EQ(set.FindParameter("analog", "scale"), 0);
  EXPECT_EQ(set.FindParameter("ANALOG", "SCALE"), 0);
  EXPECT_EQ(set.FindParameter("Analog", "Offset"), -1);
  EXPECT_EQ(set.FindParameter("Point", "Scale"), -1);
}

TEST(ParamSetTest, OnlyTheFirstGroupOfARepeatedNameIsSearched) {
  CParamSet set;
  set.groups.push_back({"PROCESSING", 0, -1, ""});
  set.groups.push_back({"processing", 0, -2, ""});
  set.AddScalarParam(2, "Bodymass", "", kParamFloat, 70.0f);
  EXPECT_EQ(set.FindParameter("PROCESSING", "Bodymass"), -1);
  EXPECT_EQ(set.GetGroupName(set.params[0]), "processing");
}

TEST(ParamSetTest, ParameterWithoutItsGroupIsKeptButUnreachable) {
  CParamSet set;
  set.groups.push_back({"POINT", 0, -1, ""});
  set.AddScalarParam(7, "ORPHAN", "", kParamInt, 3);
  EXPECT_EQ(set.ParamCount(), 1);
  EXPECT_EQ(set.GetGroupName(set.params[0]), "");
  EXPECT_EQ(set.FindParameter("POINT", "ORPHAN"), -1);
}

TEST(ParamSetTest, GetValueReadsEachTypeAndDefaultsToZero) {
  CParamSet set;
  CParam& b = set.AddScalarParam(1, "B", "", kParamByte, 0);
  b.SetByte(0, 200);
  EXPECT_EQ(b.GetValue(0), 200.0f);              // BYTE is unsigned here
  EXPECT_EQ(b.GetSignedValue(0, 0.0f), -56.0f);  // and signed for the scaling accessors
  CParam& i = set.AddScalarParam(1, "I", "", kParamInt, 0);
  i.values[0] = 0xFFFF;
  EXPECT_EQ(i.GetValue(0), -1.0f);
  EXPECT_EQ(i.GetValue(1), 0.0f);
  CParam& s = set.AddStringParam(1, "S", "", 1);
  s.strings[0] = "ABC";
  EXPECT_EQ(s.GetValue(0), 0.0f);
  EXPECT_EQ(s.GetString(0), "ABC");
  EXPECT_EQ(s.GetString(5), "");
}

TEST(ParamSetTest, ConstructionKeepsFullCountsAndLocks) {
  CParamSet set;
  set.AddGroup("ANALOG", "Analog", -1);
  EXPECT_EQ(set.groups[0].locked, 1);
  CParam& a = set.AddArrayParam(1, "LABELS", "", kParamFloat, 300);
  EXPECT_EQ(a.elementCount, 300);
  ASSERT_EQ(a.dimensions.size(), 1u);
  EXPECT_EQ(a.dimensions[0], 44);  // 300 modulo 256
  EXPECT_EQ(a.values.size(), 300u);
  CParam& s = set.AddStringParam(1, "NAMES", "", 3);
  s.strings = {"A", "LONGEST", "MID"};
  CParamSet::FinishStringParam(s);
  EXPECT_EQ(s.dimensions[0], 7);
  EXPECT_EQ(s.dimensions[1], 3);
  CParam& empty = set.AddStringParam(1, "NONE", "", 0);
  CParamSet::FinishStringParam(empty);
  EXPECT_EQ(empty.dimensions[0], 0);
  EXPECT_EQ(empty.elementCount, 0);
}

TEST(ParamSetTest, MoreThan255GroupsAndParametersAreKept) {
  CParamSet set;
  for (int g = 1; g <= 300; ++g) set.AddGroup("G" + std::to_string(g), "", -g);
  for (int p = 0; p < 1000; ++p) set.AddScalarParam(300, "P" + std::to_string(p), "", kParamInt, 1);
  EXPECT_EQ(set.GroupCount(), 300);
  EXPECT_EQ(set.FindParameter("g300", "p999"), 999);
}

}  // namespace
