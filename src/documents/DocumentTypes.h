#pragma once
// The one registration table of document types: the open-dialog filter, the
// command-line help and the choice of document by a file's extension all come
// from it. Adding a format adds one entry.

#include <filesystem>
#include <memory>
#include <span>

#include "documents/DocumentBase.h"

struct CDocumentType {
  const char* name;       // "C3D"
  const char* filter;     // "C3d Files (*.c3d)"
  const char* extension;  // ".c3d", compared ignoring case
  std::unique_ptr<CDocumentBase> (*create)(CPlatform& platform);
};

// Every registered type, in registration order.
std::span<const CDocumentType> DocumentTypes();
// The type whose extension matches `file`'s, ignoring case; a file of no
// registered type is offered to the first type, whose reader then says
// whether it can read it.
const CDocumentType& DocumentTypeFor(const std::filesystem::path& file);
