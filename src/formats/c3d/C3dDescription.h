#pragma once
// What the writers, the tree and `kinex2 info` need to know of C3D files.

#include "formats/FormatDescription.h"

// Document "CC3dDoc", channels "Channel %02d", points and events, every
// analog sample of a frame, all three DST flavours, force plates. The
// recording passed to its functions must be a CC3d.
const CFormatDescription& C3dFormatDescription();
