#pragma once
// The tree of an open document: built from its reader, selection and states,
// and edited by double-clicks that change the document's flags, then its
// derived states, then the images.

#include <string>

#include "documents/DocumentBase.h"
#include "documents/TreeItems.h"

// Rebuilds `tree` for `doc` with `title` at the root (the document's title,
// its file name) and clears the document's tree-outdated flag.
void BuildTree(CSelectionTree& tree, CDocumentBase& doc, const std::string& title);

// Rebuilds only when the document is loaded and marks its tree outdated.
// True when it rebuilt.
bool UpdateTree(CSelectionTree& tree, CDocumentBase& doc, const std::string& title);

// The double-click on item `id` (-1: no item): the flags the item stands for,
// then the document's states, then every image.
ToggleEffect OnTreeDblclk(CSelectionTree& tree, CDocumentBase& doc, int id);
