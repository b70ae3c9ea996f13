#include "documents/DocumentTree.h"

void BuildTree(CSelectionTree& tree, CDocumentBase& doc, const std::string& title) {
  doc.treeOutdated = false;
  tree.Build(doc.Reader(), TreeLayoutFor(doc.Description()), title, doc.Selection(), doc.States());
}

bool UpdateTree(CSelectionTree& tree, CDocumentBase& doc, const std::string& title) {
  if (!doc.loaded || !doc.treeOutdated) return false;
  BuildTree(tree, doc, title);
  return true;
}

ToggleEffect OnTreeDblclk(CSelectionTree& tree, CDocumentBase& doc, int id) {
  const ToggleEffect effect = tree.Toggle(id, doc.Selection());
  if (effect == ToggleEffect::Selection) doc.UpdateSelectionStates();
  if (effect != ToggleEffect::None) tree.RefreshImages(doc.Selection(), doc.States());
  return effect;
}
