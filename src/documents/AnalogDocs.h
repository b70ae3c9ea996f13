#pragma once
// Documents of the analog formats that need nothing of their own.

#include "documents/ReaderDocument.h"
#include "formats/bts/Bts.h"
#include "formats/bts/BtsDescription.h"
#include "formats/codas/Cod.h"
#include "formats/codas/CodDescription.h"
#include "formats/mac/Mac.h"
#include "formats/mac/MacDescription.h"

using CBtsDoc = CReaderDocument<CBts, &BtsFormatDescription>;
using CCodDoc = CReaderDocument<CCod, &CodFormatDescription>;
using CMacDoc = CReaderDocument<CMac, &MacFormatDescription>;
