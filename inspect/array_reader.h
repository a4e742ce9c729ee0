// One layer array of FOR001 or FOR011 as the file's reader reads it: its
// array-control record, the walk through its rows, the whole array passed,
// and what is expected next.
// The file readers' step machines hold one and say only which array comes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inspect/array_cursor.h"
#include "inspect/file_reader.h"
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

  // At the first line of the values: goes on at `after_last_row`, which
  // another cursor has read. False (nothing done) elsewhere.
  bool pass_values(RecordReader& in, const LinePlace& after_last_row);

  // "row 3 of" the label "of layer 2".
  std::string expected_row() const { return inspect::expected_row(array, walk.row); }
};

// What the FOR001 and FOR011 readers share: their layer arrays, each held
// in the state's `values` (a LayerArrayRead). A caller at an array-control
// record may walk the array's rows itself, on a cursor that the reader
// hands over, and have the reader resume after it.
template <typename State>
class ArrayFileReader : public FileReader<State> {
 public:
  // The array being read and where in it the next line is.
  const ArrayHeader& array() const { return this->state_.values.array; }
  const ArrayWalk& walk() const { return this->state_.values.walk; }

  // At the first line of an array's values: goes on at `after_last_row`,
  // the place after the array's last row, which another cursor has read;
  // the values are not read here.
  void pass_values(const LinePlace& after_last_row) {
    if (reading_values() && this->state_.values.pass_values(this->in_, after_last_row)) after_values();
  }

  // Right after an array-control record: a cursor over the array's rows,
  // from the header just read, the values given in `form`. It reads the
  // reader's own lines; the reader is not read again until resume_after().
  ArrayCursor values_cursor(Reading reading, ValueForm form) {
    const Line& control = this->in_.line();
    return ArrayCursor(this->in_, array(), {control.offset, control.number}, reading, form);
  }
  // Goes on where `cursor` stopped: after the array's last row, or inside
  // the array where the cursor found the file ending (expected() then
  // names the row that is missing).
  void resume_after(const ArrayCursor& cursor) {
    if (!reading_values()) return;
    this->in_.lines().go_to(cursor.place());
    this->state_.values.walk = cursor.walk();
    if (this->state_.values.done()) after_values();
  }

 protected:
  explicit ArrayFileReader(int fd) : FileReader<State>(fd) {}

 private:
  // Whether the next line belongs to an array's values; the step that
  // follows an array's last row.
  virtual bool reading_values() const = 0;
  virtual void after_values() = 0;
};

}  // namespace inspect
