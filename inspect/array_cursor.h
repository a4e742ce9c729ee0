// The cells of one array, row by row, read on a cursor of its own over the
// file, so that arrays of one file or of two can be walked side by side,
// cell for cell. A row whose bytes repeat the row before (every row of a
// uniform array, the common case in big models) is passed by comparing its
// bytes, without reading its fields again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/line_reader.h"
#include "inspect/record.h"
#include "inspect/record_reader.h"

namespace inspect {

// How a cell's field reads: as the file reader says, or missing, when the
// line ends before the field begins (the simulator then reads 0).
enum class CellKind : std::uint8_t { Value, Asterisks, NotANumber, Missing };

// The form in which a cursor gives each line's values: floats with their
// kinds (quick to decode, for rules and comparisons), or the fields as the
// file's reader cuts them, converted (an integer exact, each field with its
// text and column) or not (the text alone, for a caller that looks at it
// first).
enum class ValueForm : std::uint8_t { Floats, Fields, FieldText };

// One line of an array's values, decoded.
struct ValueLine {
  std::int64_t row = 0;
  std::int64_t line_number = 0;
  std::int64_t first_column = 1;  // the grid column of values[0]
  std::int64_t count = 0;
  std::string_view text;  // valid while the line is the cursor's current one
  const float* values = nullptr;
  const CellKind* kinds = nullptr;
  const format::DescriptorList* format = nullptr;
  // ValueForm::Fields and FieldText: the line's fields (else empty).
  std::span<const Field> fields;

  // The line as a file's reader gives it.
  Line line() const {
    Line line;
    line.text = text;
    line.number = line_number;
    return line;
  }
  std::int64_t end_column() const { return first_column + count; }
  // The first column in the line of the field of grid column `column`, and
  // the field's text without blanks.
  std::int64_t field_column(std::int64_t column) const;
  std::string_view field_text(std::int64_t column) const;
};

// A line kept as the model of a repeating row: its bytes with the line
// end, and its decoded values.
struct KeptLine {
  std::string bytes;
  std::size_t text_size = 0;
  std::int64_t count = 0;
  std::vector<float> values;
  std::vector<CellKind> kinds;
};

// An array whose rows are all the same bytes, each one line repeated and
// then its last line (every array given one value for all cells): what a
// walk over it needs, kept so that it need not be read again.
struct RepeatedRow {
  format::DescriptorList format{"()"};
  std::int64_t lines_per_row = 1;
  KeptLine full_line, last_line;
};

// Where an array's values lie, kept to find one cell's field later without
// reading the rest (a drain's cell). Small: a model may have many layers.
struct ArrayLayout {
  LinePlace control;     // its array-control record
  LinePlace first_line;  // its first line of values
  // Every line holds its fields' columns exactly, all fields of one width,
  // each line with the same line end: a cell's field is then found by
  // arithmetic from the first line.
  bool regular = false;
  std::int8_t line_end_bytes = 0;  // 2 for CR LF, 1 for LF
  std::int32_t per_line = 0;       // fields per full line
  std::int32_t width = 0;          // of each field
  format::Descriptor::Kind kind = format::Descriptor::Kind::Real;
  // Set when every row repeats the first and its lines are short.
  std::shared_ptr<const RepeatedRow> repeated_row;
};

// How arrays are read: quickly (a row that repeats the row before is
// compared byte for byte, a line like the one before is not decoded again,
// a cell of a regular array is found by arithmetic) or plainly, every field
// of every line, as the reference for the quick way.
enum class Reading : std::uint8_t { Quick, Plain };

// The file ends inside an array, or before a record: what was expected.
struct FileEndsEarly {
  std::int64_t line = 0;  // the line that would have come next
  std::string expected;
};

// How often a row was passed without reading its fields, over every
// cursor of the process: a row whose bytes repeat the row before, and a row
// walked again from an array's kept row. The diagnostics are the same
// either way, so only these counts show those rows still being passed.
struct PassedRowCounts {
  std::int64_t passed_by_bytes = 0;
  std::int64_t replayed = 0;
};
PassedRowCounts passed_row_counts();

class ArrayCursor {
 public:
  // The array whose array-control record starts at `control` in the open
  // file `fd`, with `rows` rows of `columns` values. Throws
  // ReadError if that line is no array-control record.
  ArrayCursor(int fd, const LinePlace& control, std::int64_t rows, std::int64_t columns,
              Reading reading);
  // The array laid out as `layout` walked again: from its kept row when it
  // has one (and `reading` is quick), without reading the file.
  ArrayCursor(int fd, const ArrayLayout& layout, std::int64_t rows, std::int64_t columns, Reading reading);
  // The array whose array-control record (at `control`) a file's reader
  // has just read from `in` as `header`, with its rows and columns set: its
  // values from in's place on, given in `form`, read on `in` itself (its
  // lines and buffer: nothing is read twice), which the file's reader
  // leaves alone until the cursor is done (see
  // ArrayFileReader::values_cursor()).
  ArrayCursor(RecordReader& in, const ArrayHeader& header, const LinePlace& control, Reading reading,
              ValueForm form);
  // (It may point into itself: not copied, not moved.)
  ArrayCursor(const ArrayCursor&) = delete;
  ArrayCursor& operator=(const ArrayCursor&) = delete;

  const ArrayHeader& header() const { return header_; }
  std::int64_t lines_per_row() const { return walk_.lines_per_row; }

  // Begins the next row: true when its bytes are those of the row before,
  // passed without reading; its lines are then the row before's again.
  bool begin_row();
  // The next line of the row begun. Throws ReadError for a line
  // that is no value line, FileEndsEarly at the end of the file.
  const ValueLine& next_line();

  // At the start of a row: begins it and passes it when its lines are
  // `full_line` (with its line end) as often as the row has full lines,
  // then `last_line`; otherwise stays where it is.
  bool pass_row_if_equal(std::string_view full_line, std::string_view last_line);
  // Back to the array's first row, to walk it again.
  void restart();

  // After the last row: the place after the array, and where it lies.
  LinePlace place() const { return in_->place(); }
  ArrayLayout layout() const;
  // Where the next line is, as a file's reader counts: its row and its
  // line within the row (a row begun and passed counts as read).
  ArrayWalk walk() const;

 private:
  void start(std::int64_t rows, std::int64_t columns);
  void keep(KeptLine& kept, std::string_view text, std::int8_t line_end) const;
  // The values of the current line, `text`, with `count` values: the
  // common forms converted at once, any other field by read_field(); a line
  // with the text of the line before is not decoded again. Read plainly, or
  // for a line that is no value line, decode_line_fallback().
  void decode_line(std::string_view text, std::size_t count);
  // Every field as the reading library cuts and converts it (which throws
  // ReadError for a line that is no value line): the reference for the
  // first branch, reached by Reading::Plain.
  void decode_line_fallback(std::string_view text);
  void decode_field(const Field& field, std::size_t index);

  std::optional<RecordReader> own_;  // unless the lines are a file reader's
  RecordReader* in_;
  Reading reading_;
  ValueForm form_ = ValueForm::Floats;
  ArrayHeader header_;
  ArrayWalk walk_;
  LinePlace control_;
  LinePlace first_line_;
  std::int64_t row_first_line_ = 0;  // line number of the current row's first line
  bool repeated_row_ = false;

  // The decoded values of the last line read, and its text, to decode a
  // line with the same text no more.
  std::string decoded_text_;
  std::int64_t decoded_count_ = -1;
  std::vector<float> values_;
  std::vector<CellKind> kinds_;
  std::vector<Field> fields_;  // ValueForm::Fields and FieldText

  // The row being read is made of one line repeated (and its last line);
  // the last row read was, and so may repeat.
  bool row_uniform_ = true;
  bool rows_repeatable_ = false;
  KeptLine full_candidate_, last_candidate_, full_line_, last_line_;

  bool regular_ = true;
  std::int8_t line_end_bytes_ = -1;
  // Rows read line by line so far; every other row repeated the one before.
  std::int64_t rows_read_ = 0;
  // Walking a kept row again, without the file.
  std::shared_ptr<const RepeatedRow> replay_;
  ValueLine current_;
};

}  // namespace inspect
