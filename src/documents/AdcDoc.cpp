#include "documents/AdcDoc.h"

bool CAdcDoc::OpenReader() {
  m_reader.videoRate = AdcVideoRate(Settings().adc);
  m_reader.genScaleSetting = Settings().adc.Gen_Scale;
  return m_reader.Open();
}

void CAdcDoc::OnSettingsChanged() {
  if (!loaded) return;
  m_reader.genScaleSetting = Settings().adc.Gen_Scale;
  m_reader.SetGenScale(m_reader.genScaleSetting);
  m_reader.videoRate = AdcVideoRate(Settings().adc);
  m_reader.UpdateRates();
}
