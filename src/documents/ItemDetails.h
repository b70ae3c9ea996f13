#pragma once
// What the details pane beside a document's tree shows for the current item,
// as plain data: tables of texts and the curves of a plot. The window layer
// only draws them.
//
//   root, header     the header block as the general DST export writes it
//                    (field, value) and the events (label, frame, time)
//   parameters       the groups (name, number, description, locked)
//   group            its parameters (name, type, dimensions, first values,
//                    description, locked)
//   parameter        its properties, and every value: one row per string of
//                    a CHAR, one per number of a list, a grid (columns along
//                    the first dimension) for more dimensions
//   data, analog,    the channels and points listed with their properties
//   marker
//   channel          label, description, unit, scale, offset, general scale,
//                    rate and raw range, and a plot of its scaled samples
//   point            label, description, unit, valid frames and ranges, and a
//                    plot of x, y and z
// Several channels and points chosen together are plotted together.

#include <string>
#include <vector>

#include "documents/PlotSeries.h"
#include "documents/TreeItems.h"

struct CFormatDescription;

struct CDetailsTable {
  std::string caption;  // "Events", "Values"; empty: none shown
  std::vector<std::string> columns;
  // Row titles (the indices of a grid); empty: rows are not titled.
  std::vector<std::string> rowTitles;
  std::vector<std::vector<std::string>> rows;
};

struct CItemDetails {
  std::string title;  // the item's text
  std::vector<CDetailsTable> tables;
  std::vector<CPlotSeries> series;  // empty: no plot
};

// The items the pane shows: `current` (a tree item id, -1 for none) for the
// tables, and every channel and point among `chosen` (tree item ids, the
// current one included or not) for the plot. The recording must outlive the
// result (the series borrow its samples).
CItemDetails DescribeItems(const CRecording& rec, const CFormatDescription& format,
                           const CSelectionTree& tree, int current, const std::vector<int>& chosen);

// The frame-axis facts of a plot over `rec`: frames per second (0 when the
// format has no rate) and how many frames the recording holds.
double PlotFrameRate(const CRecording& rec, const CFormatDescription& format);

// A parameter's dimensions as "[3,4]" and its first values for a one-line
// summary (strings quoted, at most six, then the count).
std::string ParamDimensionsText(const CParam& p);
// The unit of analog channel k's values as the pane and the plot show them:
// ANALOG:UNITS, or kRawCountsUnit for a format whose samples are never
// scaled (BTS), whatever unit text the file stores.
extern const char kRawCountsUnit[];  // "raw converter counts"
std::string ChannelUnit(const CRecording& rec, const CFormatDescription& format, int k);
std::string ParamFirstValues(const CParam& p);
