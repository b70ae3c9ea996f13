#pragma once
// The document of a format that needs nothing of its own: it owns its reader
// by value and takes the frame range, selection and exports of the base.
// Formats that add behaviour derive from it.

#include "documents/DocumentBase.h"

template <typename TReader, const CFormatDescription& (*Describe)()>
class CReaderDocument : public CDocumentBase {
 public:
  explicit CReaderDocument(CPlatform& platform) : CDocumentBase(platform) {}
  ~CReaderDocument() override { m_reader.Close(); }

  CRecording& Reader() override { return m_reader; }
  const CRecording& Reader() const override { return m_reader; }
  const CFormatDescription& Description() const override { return Describe(); }

 protected:
  bool OpenReader() override { return m_reader.Open(); }
  void CloseReader() override { m_reader.Close(); }

  TReader m_reader;
};
