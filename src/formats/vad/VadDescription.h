#pragma once
// What the writers, the tree and `kinex2 info` need to know of VAD files.

#include "formats/FormatDescription.h"

// The recording passed to its functions must be a CVad.
const CFormatDescription& VadFormatDescription();
