#pragma once
// Names of analog channels and points as every writer shows them: a default
// numbered name ("Channel %02d", "Marker %02d"), replaced in order by the
// strings of a CHAR "Labels" parameter and its continuations ("LABELS2", ...)
// where they have them.

#include <string>
#include <vector>

#include "model/ParamSet.h"

// Name of item i (0-based) from the labels and their continuations.
std::string ItemLabel(const CContinuedStrings& labels, int i, const char* defaultFormat);
// The DST section name of a channel or point: trimmed, blanks and hyphens
// replaced by "_".
std::string ChannelSectionName(const std::string& name);
// Names of items 0 .. count - 1 from the parameter group:name and its
// continuations.
std::vector<std::string> ItemLabels(const CParamSet& set, const char* group, const char* name,
                                    const char* defaultFormat, int count);
