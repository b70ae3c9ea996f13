#pragma once
// The document of an ADC file: the reader takes the ADC settings (video rate,
// general scale) at open, and again whenever the defaults change.

#include "documents/ReaderDocument.h"
#include "formats/adc/Adc.h"
#include "formats/adc/AdcDescription.h"

class CAdcDoc : public CReaderDocument<CAdc, &AdcFormatDescription> {
 public:
  using CReaderDocument::CReaderDocument;

  const CAdc& Adc() const { return m_reader; }

 protected:
  bool OpenReader() override;
  void OnSettingsChanged() override;
};
