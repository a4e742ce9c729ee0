// What the three file readers share: the current line, its fields by a
// descriptor list, the array-control record, and the walk through the rows
// of an array by the layout its format text gives.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/array_control.h"
#include "format/descriptor_list.h"
#include "inspect/field.h"
#include "inspect/line_reader.h"
#include "inspect/read_error.h"
#include "inspect/record.h"

namespace inspect {

// Whether a line is an array-control record (format/array_control.h).
using format::looks_like_array_control;

// Whether the layer field of `array` is what the builders write for
// `layer`: its number, or asterisks above 999.
bool layer_fits(const ArrayHeader& array, std::int64_t layer);

// The rows of one array being read: which row and which line of the row
// comes next, and which values that line holds.
struct ArrayWalk {
  std::int64_t row = 1;           // the next row, counted from 1
  std::int64_t line_in_row = 0;   // the next line within it, from 0
  std::int64_t lines_per_row = 1;

  void start(const ArrayHeader& array);
  bool done(const ArrayHeader& array) const { return row > array.rows; }
  // The values of the next line: the first one's column (from 1) and how many.
  std::int64_t first_column(const ArrayHeader& array) const;
  std::int64_t values_on_line(const ArrayHeader& array) const;
  void advance();
};

// The fields of `text` by descriptors first .. first + count - 1 of `list`,
// laid side by side from column 1, into `fields`: converted, or only cut.
void cut_fields(std::string_view text, const format::DescriptorList& list, std::size_t first,
                std::size_t count, bool convert, std::vector<Field>& fields);

class RecordReader {
 public:
  explicit RecordReader(int fd) : lines_(fd) {}

  // The next line into line(); false at the end of the file.
  bool read_line() { return lines_.next(line_); }
  const Line& line() const { return line_; }
  LineReader& lines() { return lines_; }
  const LineReader& lines() const { return lines_; }
  LinePlace place() const { return lines_.place(); }
  // The fields last read.
  std::span<const Field> fields() const { return fields_; }

  // The fields of the current line by descriptors first .. first + count - 1
  // of `list`, laid side by side from column 1 (see cut_fields()).
  std::span<const Field> read_fields(const format::DescriptorList& list, std::size_t first,
                                     std::size_t count, bool convert = true) {
    cut_fields(line_.text, list, first, count, convert, fields_);
    return fields_;
  }
  std::span<const Field> read_fields(const format::DescriptorList& list) {
    return read_fields(list, 0, list.size());
  }

  // The current line as an array-control record; `rows` and `columns` are
  // left for the caller. Throws ReadError when it is none.
  ArrayHeader read_array_header(std::string_view what_was_expected);

  // The current line as the values of `array` that `walk` says come next,
  // converted or only cut.
  std::span<const Field> read_values(const ArrayHeader& array, const ArrayWalk& walk, bool convert);
  std::span<const Field> read_values(const ArrayHeader& array, const ArrayWalk& walk) {
    return read_values(array, walk, convert_values_);
  }

  // Whether the values of array rows (and drain records) are converted, or
  // only cut into fields for a caller that looks at their text first.
  void convert_values(bool convert) { convert_values_ = convert; }
  bool converts_values() const { return convert_values_; }

  // An integer field that a count or code must be: its value, the lowest
  // integer for asterisks (the only value of these files too wide for its
  // field is that one in I10; in narrower fields any too-wide value acts
  // alike), or a ReadError naming `what`.
  std::int32_t integer_of(const Field& field, std::string_view what) const;

  // A ReadError at `column` of the current line: expected `what`, found the
  // line's text from there.
  [[noreturn]] void fail(std::int64_t column, std::string_view what) const;
  [[noreturn]] void fail_at_field(const Field& field, std::string_view what) const;

  // At the start of a row: if the next bytes are `full_line` (one line with
  // its CR LF) `full_lines` times, then `last_line`, passes them and returns
  // true; otherwise stays where it is.
  bool skip_row_if_equal(std::string_view full_line, std::int64_t full_lines,
                         std::string_view last_line);

 private:
  std::string block_;           // copies of the last `full_line`, compared at once
  std::size_t block_unit_ = 0;  // the length of that line

  LineReader lines_;
  Line line_;
  std::vector<Field> fields_;
  bool convert_values_ = true;
};

// The layout of the records whose format text is `Text`, parsed once.
template <const std::string_view& Text>
const format::DescriptorList& layout_of() {
  static const format::DescriptorList layout{Text};
  return layout;
}

// "SHEAD- of layer 2", "the DELR- list".
std::string array_name(std::string_view label, std::int64_t layer);

// What is expected where row `row` of `array` is missing or wrong: "row 3
// of SHEAD- of layer 2".
std::string expected_row(const ArrayHeader& array, std::int64_t row);

}  // namespace inspect
