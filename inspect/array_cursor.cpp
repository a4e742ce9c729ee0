#include "inspect/array_cursor.h"

#include <atomic>
#include <utility>

#include "inspect/field.h"
#include "format/number_parse.h"

namespace inspect {

std::int64_t ValueLine::field_column(std::int64_t column) const {
  return static_cast<std::int64_t>(format->columns_of_first(static_cast<std::size_t>(column - first_column))) + 1;
}

std::string_view ValueLine::field_text(std::int64_t column) const {
  const auto index = static_cast<std::size_t>(column - first_column);
  const std::size_t start = format->columns_of_first(index);
  if (start >= text.size()) return {};
  return trimmed(text.substr(start, static_cast<std::size_t>((*format)[index].width)));
}

namespace {

// Relaxed: counts only, read by tests once the cursors are done (the report
// checks on a thread of its own).
std::atomic<std::int64_t> g_rows_passed_by_bytes{0};
std::atomic<std::int64_t> g_rows_replayed{0};

// A kept row is kept with the array's layout only when it is short: a model
// may have many layers.
constexpr std::size_t kMostKeptRowBytes = 1024;

}  // namespace

PassedRowCounts passed_row_counts() {
  return {g_rows_passed_by_bytes.load(std::memory_order_relaxed), g_rows_replayed.load(std::memory_order_relaxed)};
}

ArrayCursor::ArrayCursor(int fd, const LinePlace& control, std::int64_t rows,
                         std::int64_t columns, Reading reading)
    : own_(std::in_place, fd), in_(&*own_), reading_(reading), control_(control) {
  in_->lines().go_to(control);
  if (!in_->read_line()) throw FileEndsEarly{control.number, "an array-control record"};
  header_ = in_->read_array_header("an array-control record");
  first_line_ = in_->place();
  start(rows, columns);
}

ArrayCursor::ArrayCursor(int fd, const ArrayLayout& layout, std::int64_t rows, std::int64_t columns,
                         Reading reading)
    : own_(std::in_place, fd), in_(&*own_), reading_(reading), control_(layout.control) {
  if (!layout.repeated_row || reading == Reading::Plain) {
    in_->lines().go_to(control_);
    if (!in_->read_line()) throw FileEndsEarly{control_.number, "an array-control record"};
    header_ = in_->read_array_header("an array-control record");
    first_line_ = in_->place();
    start(rows, columns);
    return;
  }
  replay_ = layout.repeated_row;
  header_.values_format = replay_->format;
  first_line_ = layout.first_line;
  start(rows, columns);
  full_line_ = replay_->full_line;
  last_line_ = replay_->last_line;
}

ArrayCursor::ArrayCursor(RecordReader& in, const ArrayHeader& header, const LinePlace& control,
                         Reading reading, ValueForm form)
    : in_(&in), reading_(reading), form_(form), header_(header), control_(control), first_line_(in.place()) {
  start(header.rows, header.columns);
}

void ArrayCursor::start(std::int64_t rows, std::int64_t columns) {
  header_.rows = rows;
  header_.columns = columns;
  walk_.start(header_);
  walk_.row = 0;  // begin_row() moves on to row 1
  const std::size_t per_line = header_.values_format.size();
  values_.resize(per_line);
  kinds_.resize(per_line);
  // Cells are found by arithmetic only where every field has one width.
  for (const format::Descriptor& d : header_.values_format.descriptors()) {
    if (d.width != header_.values_format[0].width || d.kind != header_.values_format[0].kind) {
      regular_ = false;
    }
  }
  // (And fields no wider than a lookup takes at once.)
  if (per_line == 0 || header_.values_format[0].width > 64) regular_ = false;
  current_.format = &header_.values_format;
}

bool ArrayCursor::begin_row() {
  ++walk_.row;
  walk_.line_in_row = 0;
  if (replay_) {
    row_first_line_ = first_line_.number + (walk_.row - 1) * walk_.lines_per_row;
    repeated_row_ = true;  // its lines are the kept ones, the first row's too
    if (walk_.row == 1) return false;
    g_rows_replayed.fetch_add(1, std::memory_order_relaxed);
    return true;
  }
  row_first_line_ = in_->place().number;
  repeated_row_ = rows_repeatable_ &&
                  in_->skip_row_if_equal(full_line_.bytes, walk_.lines_per_row - 1, last_line_.bytes);
  if (repeated_row_) {
    g_rows_passed_by_bytes.fetch_add(1, std::memory_order_relaxed);
  } else {
    ++rows_read_;
  }
  row_uniform_ = true;
  return repeated_row_;
}

const ValueLine& ArrayCursor::next_line() {
  const std::int64_t k = walk_.line_in_row;
  const bool last = k == walk_.lines_per_row - 1;
  current_.row = walk_.row;
  current_.line_number = row_first_line_ + k;
  current_.first_column = walk_.first_column(header_);
  current_.count = walk_.values_on_line(header_);
  if (repeated_row_) {
    const KeptLine& kept = last ? last_line_ : full_line_;
    current_.text = std::string_view(kept.bytes.data(), kept.text_size);
    current_.values = kept.values.data();
    current_.kinds = kept.kinds.data();
    if (form_ != ValueForm::Floats) {
      cut_fields(current_.text, header_.values_format, 0, static_cast<std::size_t>(current_.count),
                 form_ == ValueForm::Fields, fields_);
      current_.fields = fields_;
    }
    ++walk_.line_in_row;
    return current_;
  }
  if (!in_->read_line()) throw FileEndsEarly{in_->place().number, expected_row(header_, walk_.row)};
  const Line& line = in_->line();
  const std::string_view text = line.text;
  const auto line_end = static_cast<std::int8_t>(
      line.has_line_end ? in_->place().offset - line.offset - static_cast<std::int64_t>(text.size()) : 0);
  const auto count = static_cast<std::size_t>(current_.count);
  if (form_ == ValueForm::Floats) {
    decode_line(text, count);
  } else {
    // As the file's reader cuts them, with its errors.
    current_.fields = in_->read_values(header_, walk_, form_ == ValueForm::Fields);
  }

  if (text.size() != header_.values_format.columns_of_first(count) || line_end == 0 ||
      (line_end_bytes_ >= 0 && line_end != line_end_bytes_)) {
    regular_ = false;
  }
  if (line_end_bytes_ < 0) line_end_bytes_ = line_end;
  current_.text = text;
  current_.values = values_.data();
  current_.kinds = kinds_.data();

  // Whether the row is one line repeated, then its last line: so the next
  // row can be compared with it byte for byte. (Read plainly, no row is
  // passed so.)
  if (reading_ == Reading::Plain) {
    ++walk_.line_in_row;
    return current_;
  }
  if (line_end == 0) row_uniform_ = false;
  if (!last) {
    if (k == 0) {
      keep(full_candidate_, text, line_end);
    } else if (text != std::string_view(full_candidate_.bytes.data(), full_candidate_.text_size) ||
               static_cast<std::size_t>(line_end) != full_candidate_.bytes.size() - full_candidate_.text_size) {
      row_uniform_ = false;
    }
  } else {
    keep(last_candidate_, text, line_end);
    rows_repeatable_ = row_uniform_;
    if (rows_repeatable_) {
      std::swap(full_line_, full_candidate_);
      std::swap(last_line_, last_candidate_);
    }
  }
  ++walk_.line_in_row;
  return current_;
}

void ArrayCursor::decode_line(std::string_view text, std::size_t count) {
  if (reading_ == Reading::Plain || looks_like_array_control(text) ||
      (count > 0 && header_.values_format.size() == 0)) {
    decode_line_fallback(text);
    return;
  }
  if (static_cast<std::int64_t>(count) == decoded_count_ && text == decoded_text_) return;
  for (std::size_t i = 0; i < count; ++i) {
    const format::Descriptor& d = header_.values_format[i];
    const std::size_t start = header_.values_format.columns_of_first(i);
    if (start + static_cast<std::size_t>(d.width) <= text.size()) {
      // The common forms: blanks, then a short number, then blanks.
      const char* begin = text.data() + start;
      const char* const end = begin + d.width;
      while (begin < end && *begin == ' ') ++begin;
      const char* stop = nullptr;
      if (begin < end) {
        if (d.kind == format::Descriptor::Kind::Integer) {
          std::int32_t value = 0;
          stop = format::parse_short_integer(begin, end, value);
          values_[i] = static_cast<float>(value);
        } else if (d.kind == format::Descriptor::Kind::Real) {
          stop = format::parse_short_real(begin, end, values_[i]);
        }
      }
      while (stop != nullptr && stop < end && *stop == ' ') ++stop;
      if (stop == end) {
        kinds_[i] = CellKind::Value;
        continue;
      }
    }
    const Field f = read_field(text, start, d);
    decode_field(f, i);
  }
  decoded_text_.assign(text);
  decoded_count_ = static_cast<std::int64_t>(count);
}

void ArrayCursor::decode_line_fallback(std::string_view text) {
  const std::span<const Field> fields = in_->read_values(header_, walk_, true);
  for (std::size_t i = 0; i < fields.size(); ++i) decode_field(fields[i], i);
  decoded_text_.assign(text);
  decoded_count_ = static_cast<std::int64_t>(fields.size());
}

void ArrayCursor::decode_field(const Field& f, std::size_t i) {
  {
    CellKind kind = CellKind::Value;
    if (f.text.empty()) {
      kind = CellKind::Missing;
    } else if (f.kind == Field::Kind::Asterisks) {
      kind = CellKind::Asterisks;
    } else if (f.kind == Field::Kind::NotANumber) {
      kind = CellKind::NotANumber;
    }
    kinds_[i] = kind;
    values_[i] = kind != CellKind::Value ? 0.0f
                 : f.type == format::Descriptor::Kind::Integer ? static_cast<float>(f.integer)
                                                                 : f.real;
  }
}

void ArrayCursor::keep(KeptLine& kept, std::string_view text, std::int8_t line_end) const {
  kept.bytes.assign(text);
  if (line_end == 2) kept.bytes += '\r';
  if (line_end >= 1) kept.bytes += '\n';
  kept.text_size = text.size();
  kept.count = current_.count;
  if (form_ != ValueForm::Floats) return;
  kept.values.assign(values_.begin(), values_.begin() + current_.count);
  kept.kinds.assign(kinds_.begin(), kinds_.begin() + current_.count);
}

bool ArrayCursor::pass_row_if_equal(std::string_view full_line, std::string_view last_line) {
  if (!in_->skip_row_if_equal(full_line, walk_.lines_per_row - 1, last_line)) return false;
  ++walk_.row;
  walk_.line_in_row = walk_.lines_per_row;
  repeated_row_ = false;
  // The row before is no longer the one these bytes follow.
  rows_repeatable_ = false;
  return true;
}

void ArrayCursor::restart() {
  in_->lines().go_to(first_line_);
  walk_.row = 0;
  walk_.line_in_row = 0;
  repeated_row_ = false;
  rows_repeatable_ = false;
  rows_read_ = 0;
  decoded_count_ = -1;
}

ArrayWalk ArrayCursor::walk() const {
  ArrayWalk walk = walk_;
  if (walk.row == 0 || repeated_row_ || walk.line_in_row == walk.lines_per_row) {
    ++walk.row;
    walk.line_in_row = 0;
  }
  return walk;
}

ArrayLayout ArrayCursor::layout() const {
  ArrayLayout layout;
  layout.control = control_;
  layout.first_line = first_line_;
  layout.regular = regular_ && line_end_bytes_ > 0;
  layout.line_end_bytes = line_end_bytes_ > 0 ? line_end_bytes_ : 0;
  layout.per_line = static_cast<std::int32_t>(header_.values_format.size());
  if (layout.per_line > 0) {
    layout.width = header_.values_format[0].width;
    layout.kind = header_.values_format[0].kind;
  }
  // Only the first row was read, and every other repeated it.
  if (reading_ == Reading::Quick && !replay_ && rows_read_ == 1 && walk_.row == header_.rows &&
      rows_repeatable_ && header_.columns > 0 &&
      full_line_.bytes.size() + last_line_.bytes.size() <= kMostKeptRowBytes) {
    auto row = std::make_shared<RepeatedRow>();
    row->format = header_.values_format;
    row->lines_per_row = walk_.lines_per_row;
    row->full_line = full_line_;
    row->last_line = last_line_;
    layout.repeated_row = std::move(row);
  }
  return layout;
}

}  // namespace inspect
