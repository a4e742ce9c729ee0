// One layer array of FOR001 or FOR011 as the file's reader reads it: its
// array-control record, the walk through its rows, a row passed when its
// bytes are those given, the whole array passed, and what is expected next.
// The file readers' step machines hold one and say only which array comes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inspect/record.h"
#include "inspect/record_reader.h"

namespace inspect {

struct LayerArrayRead {
  ArrayHeader array;
  ArrayWalk walk;

  // The current line of `in` as the array-control record of `label` for
  // `layer`, an array of `rows` rows of `columns` values, into `record`.
  // Throws ReadError when it is not that record.
  void read_control(RecordReader& in, std::string_view label, std::int64_t layer, std::int64_t rows,
                    std::int64_t columns, Record& record);
  // The current line of `in` as the next line of values, into `record`.
  void read_line(RecordReader& in, Record& record);
  bool done() const { return walk.done(array); }

  // At the start of a row: passes it when its lines are `full_line` (with
  // its line end) as often as the row has full lines, then `last_line`.
  bool skip_row_if_equal(RecordReader& in, std::string_view full_line, std::string_view last_line);
  // At the first line of the values: goes on at `after_last_row`, which
  // another cursor has read. False (nothing done) elsewhere.
  bool pass_values(RecordReader& in, const LinePlace& after_last_row);

  // "row 3 of" the label "of layer 2".
  std::string expected_row() const;
};

}  // namespace inspect
