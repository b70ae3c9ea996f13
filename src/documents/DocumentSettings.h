#pragma once
// The settings a document reads, handed in by the application as a plain
// record (documents never see the application object). The application
// refreshes it whenever its settings change.

#include <string>

#include "export/ExportOptions.h"

// The kinds a document writes; their table is documents/ExportKinds.
enum class ExportKind { Dst = 0, Text = 1, C3d = 2, Trc = 3, Mot = 4 };

struct CDocumentSettings {
  DstOptions dst;             // "GCDExport"
  TextOptions text;           // "TextExport"
  ExportSelection selection;  // this format's default export selection
  AdcSettings adc;            // "ADC_Param": how ADC files are read
  LabelTranslations labels;   // kinex2.ini, for the VDO flavour
  TestSetValues testSet;      // "Veltro", for the EXP flavour
  bool logErrorOnly = true;   // "LogErrorOnly": information lines stay out of the log
  int exportTo = 0;           // "ExportTo": 0 DST, 1 text
  std::string dstSignature;   // first line of general DST files, line end included
  bool overwriteAll = false;  // a batch runs: writers never ask before overwriting
  int threads = 0;            // threads an export formats on; 0: every core
};
