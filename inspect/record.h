// The records of FOR001, FOR011 and FOR013 as a reader hands them on, one
// line at a time, in file order, each with its place in the file and in the
// model (layer, row, stress period...).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "format/descriptor_list.h"
#include "inspect/field.h"
#include "inspect/line_reader.h"

namespace inspect {

enum class Section : std::uint8_t {
  // FOR001
  Title,         // records 1 and 2: one A80 field
  Dimensions,    // layers, rows, columns, stress periods, time unit
  ModuleUnits,   // the 24 module unit numbers
  Options,       // memory sharing, save starting heads
  NoFlowHead,    // the head at no-flow cells
  StressPeriod,  // length, time steps, multiplier of `period`
  // FOR011
  FlowHeader,    // simulation type, cell-by-cell output code
  LayerTypes,    // one line of the layer type codes; `first` is the layer of fields[0]
  // FOR001 and FOR011
  ArrayControl,  // the array-control record ahead of an array or list (`array`)
  ArrayValues,   // one line of an array's values: `row`, and `first` the column of fields[0]
                 // (for a list, the entry number)
  // FOR013
  DrainHeader,   // maximum number of drains, flow term output code
  UseCode,       // the use code of `period`
  Drain,         // layer, row, column, elevation, conductance of `drain` in `period`
};

// The layer field of an array-control record has three columns: a layer
// above 999 is written as asterisks.
inline constexpr std::int32_t kLargestLayerShown = 999;
inline constexpr std::int32_t kLayerAsterisks = -1;

// An array-control record, and the layout of the values it announces.
struct ArrayHeader {
  std::int64_t line = 0;  // where the record is
  Field locator, multiplier, format, print_code, label, layer;
  std::string label_text;   // the label without blanks
  std::string format_text;  // the 20 format columns without trailing blanks
  format::DescriptorList values_format{"()"};
  // 0 for a list that belongs to no layer; kLayerAsterisks while the field
  // is asterisks, until the file's reader sets the layer of its place.
  std::int32_t layer_number = 0;
  bool is_list = false;           // a one-dimensional list (FOR011: TRPY, DELR, DELC)
  // Rows that follow and values in each. A FOR011 list is one row whose
  // length is known only once the next array-control record comes: -1
  // until then.
  std::int64_t rows = 0;
  std::int64_t columns = 0;
};

struct Record {
  Section section = Section::Title;
  Line line;
  std::span<const Field> fields;      // valid until the next record
  const ArrayHeader* array = nullptr; // ArrayControl and ArrayValues
  std::int64_t row = 0;               // ArrayValues
  std::int64_t first = 0;             // ArrayValues, LayerTypes
  std::int64_t period = 0;            // StressPeriod, UseCode, Drain
  std::int64_t drain = 0;             // Drain
};

// Grid counts as a file shows them; a count of zero or less runs no loop,
// so a file cannot tell them apart and shows 0.
struct GridCounts {
  std::int64_t layers = 0;
  std::int64_t rows = 0;
  std::int64_t columns = 0;
};

}  // namespace inspect
