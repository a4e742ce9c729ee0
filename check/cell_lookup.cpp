#include "cell_lookup.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "field.h"
#include "read_error.h"

namespace check {
namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::int64_t kBlockAlign = 4096;

CellKind kind_of(const inspect::Field& f) {
  if (f.text.empty()) return CellKind::Missing;
  switch (f.kind) {
    case inspect::Field::Kind::Asterisks: return CellKind::Asterisks;
    case inspect::Field::Kind::NotANumber: return CellKind::NotANumber;
    case inspect::Field::Kind::Value: break;
  }
  return CellKind::Value;
}

}  // namespace

CellLookup::CellLookup(int fd, std::int64_t rows, std::int64_t columns)
    : fd_(fd), rows_(rows), columns_(columns), block_(kBlockBytes) {}

CellLookup::~CellLookup() = default;

CellField CellLookup::field(const ArrayLayout& layout, std::int64_t row, std::int64_t column) {
  return layout.regular ? field_by_arithmetic(layout, row, column) : field_by_reading(layout, row, column);
}

CellField CellLookup::field_by_arithmetic(const ArrayLayout& layout, std::int64_t row,
                                          std::int64_t column) {
  const std::int64_t per_line = layout.per_line;
  const std::int64_t lines_per_row = (columns_ + per_line - 1) / per_line;
  const std::int64_t full_line_bytes = per_line * layout.width + layout.line_end_bytes;
  const std::int64_t last_line_values = columns_ - (lines_per_row - 1) * per_line;
  const std::int64_t row_bytes =
      (lines_per_row - 1) * full_line_bytes + last_line_values * layout.width + layout.line_end_bytes;
  const std::int64_t line_in_row = (column - 1) / per_line;
  const std::int64_t index_in_line = (column - 1) % per_line;
  const std::int64_t offset = layout.first_line.offset + (row - 1) * row_bytes +
                              line_in_row * full_line_bytes + index_in_line * layout.width;

  const auto width = static_cast<std::size_t>(layout.width);
  const std::string_view text(bytes_at(offset, width), width);
  const builders::Descriptor descriptor{layout.kind, layout.width, 0};
  const inspect::Field f = inspect::read_field(text, 0, descriptor);
  CellField cell;
  cell.kind = kind_of(f);
  if (cell.kind == CellKind::Value) {
    cell.value = f.type == builders::Descriptor::Kind::Integer ? static_cast<float>(f.integer) : f.real;
  }
  cell.line = layout.first_line.number + (row - 1) * lines_per_row + line_in_row;
  cell.column = index_in_line * layout.width + 1;
  cell.text = std::string(inspect::trimmed(text));
  return cell;
}

const char* CellLookup::bytes_at(std::int64_t offset, std::size_t length) {
  const std::int64_t end = offset + static_cast<std::int64_t>(length);
  if (block_offset_ < 0 || offset < block_offset_ ||
      end > block_offset_ + static_cast<std::int64_t>(block_size_)) {
    block_offset_ = offset - offset % kBlockAlign;
    block_size_ = 0;
    while (block_size_ < block_.size()) {
      const ssize_t n = ::pread(fd_, block_.data() + block_size_, block_.size() - block_size_,
                                block_offset_ + static_cast<std::int64_t>(block_size_));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw inspect::ReadError(1, 1, std::string("the file cannot be read: ") + std::strerror(errno));
      if (n == 0) break;
      block_size_ += static_cast<std::size_t>(n);
    }
    if (end > block_offset_ + static_cast<std::int64_t>(block_size_)) {
      // The file changed since it was read: the field is not there.
      block_offset_ = -1;
      throw inspect::ReadError(1, 1, "the file changed while it was checked");
    }
  }
  return block_.data() + (offset - block_offset_);
}

CellField CellLookup::field_by_reading(const ArrayLayout& layout, std::int64_t row, std::int64_t column) {
  if (!cursor_ || cursor_control_.offset != layout.control.offset || cursor_row_ >= row) {
    cursor_ = std::make_unique<ArrayCursor>(fd_, layout.control, rows_, columns_);
    cursor_control_ = layout.control;
    cursor_row_ = 0;
    lines_left_ = 0;
  }
  // The rest of the row last looked in, and the rows before the cell's.
  for (; lines_left_ > 0; --lines_left_) cursor_->next_line();
  while (cursor_row_ < row - 1) {
    cursor_->begin_row();
    for (std::int64_t k = 0; k < cursor_->lines_per_row(); ++k) cursor_->next_line();
    ++cursor_row_;
  }
  cursor_->begin_row();
  cursor_row_ = row;
  lines_left_ = cursor_->lines_per_row() - 1;
  const ValueLine* line = &cursor_->next_line();
  while (column >= line->end_column()) {
    line = &cursor_->next_line();
    --lines_left_;
  }
  CellField cell;
  const auto i = static_cast<std::size_t>(column - line->first_column);
  cell.kind = line->kinds[i];
  cell.value = line->values[i];
  cell.line = line->line_number;
  cell.column = line->field_column(column);
  cell.text = std::string(line->field_text(column));
  return cell;
}

}  // namespace check
