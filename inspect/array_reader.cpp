#include "inspect/array_reader.h"

namespace inspect {

void LayerArrayRead::read_control(RecordReader& in, std::string_view label, std::int64_t layer,
                                  std::int64_t rows, std::int64_t columns, Record& record) {
  const std::string what = "the array-control record of " + array_name(label, layer);
  array = in.read_array_header(what);
  if (array.label_text != label || !layer_fits(array, layer)) {
    in.fail_at_field(array.label_text != label ? array.label : array.layer, what);
  }
  array.layer_number = static_cast<std::int32_t>(layer);
  array.rows = rows;
  array.columns = columns;
  if (array.columns > 0 && array.values_format.size() == 0) {
    in.fail_at_field(array.format, "a format with room for the values, such as (10G10.3)");
  }
  walk.start(array);
  record.section = Section::ArrayControl;
  record.array = &array;
  record.fields = in.fields();
}

void LayerArrayRead::read_line(RecordReader& in, Record& record) {
  record.section = Section::ArrayValues;
  record.array = &array;
  record.fields = in.read_values(array, walk);
  record.row = walk.row;
  record.first = walk.first_column(array);
  walk.advance();
}

bool LayerArrayRead::pass_values(RecordReader& in, const LinePlace& after_last_row) {
  if (walk.row != 1 || walk.line_in_row != 0) return false;
  in.lines().go_to(after_last_row);
  return true;
}

}  // namespace inspect
