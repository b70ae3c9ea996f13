#pragma once
// The tree a document is shown as, as plain data: what the file holds (header,
// parameter groups and their parameters, analog channels and, for C3D, 3D
// points), each item with its numeric code and its check-box image, and the
// double-click toggling that edits the document's export selection. The window
// layer only draws these items and forwards double-clicks.
//
// Item codes are the decimal digits of the item's identity: 0 root, 1 header,
// 2 parameters, "21%02d" group g, "22%02d" parameter p, 3 data, 31 analog,
// "31%02d" channel k (other formats "31%03d"), 32 marker, "32%02d" point j.
// Read back by position: first digit the branch, second the kind, the rest the
// index. So group 5 is 2105 and parameter 105 is 22105.

#include <cstdint>
#include <string>
#include <vector>

#include "export/ExportJob.h"
#include "model/Recording.h"

// Images of the items, in the order of the image strip.
enum TreeImage : int {
  kImageUnchecked = 0,  // not selected
  kImageChecked = 1,    // selected (a branch: everything under it)
  kImagePartial = 2,    // branch partly selected
  kImagePage = 3,       // the root
};
inline constexpr int kTreeImageCount = 4;

enum class TreeItemKind {
  Root,
  Header,
  Parameters,
  Group,
  Parameter,
  Data,
  AnalogBranch,
  Channel,
  MarkerBranch,
  Point,
};

// Fixed texts of the tree.
inline constexpr const char* kHeaderItemText = "Header Information";
inline constexpr const char* kParametersItemText = "Parameters";
inline constexpr const char* kDataItemText = "Data";
inline constexpr const char* kAnalogItemText = "Analog";
inline constexpr const char* kMarkerItemText = "Marker";
inline constexpr const char* kDefaultMarkerText = "Marker %02d";

// Branch, kind and index read back from an item code; kind and index are -1
// when the code has no such digits.
struct CItemCodeParts {
  int branch = -1;
  int kind = -1;
  long long index = -1;
};
CItemCodeParts DecodeItemCode(std::uint64_t code);

// 0 when `flags` holds no '1' (and is not empty), 1 when it holds no '0'
// (so also when empty), 2 when it holds both. `more` is read after `flags`.
int SelectionState(const std::string& flags, const std::string& more = {});

// The four derived states the tree shows on its branches.
struct CSelectionStates {
  int parameters = 1;  // group flags followed by parameter flags
  int data = 1;        // analog flags followed by point flags
  int analog = 1;
  int points = 1;
};
CSelectionStates ComputeSelectionStates(const CExportSelection& selection);

// How a format lays out its data branch.
struct CTreeLayout {
  bool markers = true;                       // a "Marker" branch (C3D)
  const char* channelCodeFormat = "31%02d";  // "31%03d" for the other formats
  const char* channelTextFormat = "Channel %02d";
};
// C3D (points and events) gets markers and two-digit channel codes; the other
// formats three digits and no marker branch.
CTreeLayout TreeLayoutFor(const CFormatDescription& format);

struct CTreeItem {
  TreeItemKind kind = TreeItemKind::Root;
  int index = -1;  // group, parameter, channel or point index; -1 for branches
  std::uint64_t code = 0;
  std::string text;
  int image = kImageUnchecked;
  int parent = -1;  // item id of the parent; -1 for the root
  int row = 0;      // position among the parent's children
  std::vector<int> children;
};

// What a double-click changed.
enum class ToggleEffect {
  None,       // no item, or the root: nothing changed
  Header,     // the header flag was inverted
  Selection,  // group, parameter, analog or point flags changed
};

class CSelectionTree {
 public:
  // Rebuilds every item from the recording and the selection. Item ids are
  // positions in build order; the root is id 0. Nothing is kept of the
  // recording: the tree holds copies of the texts.
  void Build(const CRecording& recording, const CTreeLayout& layout, const std::string& title,
             const CExportSelection& selection, const CSelectionStates& states);
  void Clear() { m_items.clear(); }

  bool Empty() const { return m_items.empty(); }
  int Count() const { return static_cast<int>(m_items.size()); }
  // Callers pass 0 <= id < Count().
  const CTreeItem& Item(int id) const { return m_items[static_cast<std::size_t>(id)]; }
  // Id of the item with `code`, or -1 (a linear search, for tests and tools).
  int FindByCode(std::uint64_t code) const;

  // The double-click on item `id` (-1 or out of range: no item). Changes the
  // selection's flags by the item's current image: a selected or partly
  // selected item becomes deselected with everything under it, an empty one
  // selected. The header inverts its flag; the root changes nothing. The
  // images are left as they were: the owner updates its derived states and
  // then calls RefreshImages (OnTreeDblclk in DocumentTree.h does both).
  ToggleEffect Toggle(int id, CExportSelection& selection) const;

  // Sets every item's image from the selection and its derived states without
  // rebuilding.
  void RefreshImages(const CExportSelection& selection, const CSelectionStates& states);

 private:
  int Add(TreeItemKind kind, int index, std::uint64_t code, std::string text, int parent);

  std::vector<CTreeItem> m_items;
};
