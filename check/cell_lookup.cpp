#include "check/cell_lookup.h"

#include <cstring>

#include "inspect/field.h"
#include "platform/platform.h"
#include "inspect/read_error.h"

namespace check {
namespace {

inspect::CellKind kind_of(const inspect::Field& f) {
  if (f.text.empty()) return inspect::CellKind::Missing;
  switch (f.kind) {
    case inspect::Field::Kind::Asterisks: return inspect::CellKind::Asterisks;
    case inspect::Field::Kind::NotANumber: return inspect::CellKind::NotANumber;
    case inspect::Field::Kind::Value: break;
  }
  return inspect::CellKind::Value;
}

}  // namespace

CellLookup::CellLookup(int fd, std::int64_t rows, std::int64_t columns, inspect::Reading reading)
    : fd_(fd), reading_(reading), rows_(rows), columns_(columns) {}

CellLookup::~CellLookup() = default;

CellField CellLookup::field(const inspect::ArrayLayout& layout, std::int64_t row, std::int64_t column) {
  if (layout.repeated_row && reading_ == inspect::Reading::Quick) {
    return field_of_kept_row(*layout.repeated_row, layout, row, column);
  }
  if (layout.regular && reading_ == inspect::Reading::Quick) return field_by_arithmetic(layout, row, column);
  return field_by_reading(layout, row, column);
}

CellField CellLookup::field_of_kept_row(const inspect::RepeatedRow& kept, const inspect::ArrayLayout& layout,
                                        std::int64_t row, std::int64_t column) const {
  const auto per_line = static_cast<std::int64_t>(kept.format.size());
  const std::int64_t line_in_row = (column - 1) / per_line;
  const auto index = static_cast<std::size_t>((column - 1) % per_line);
  const inspect::KeptLine& line = line_in_row == kept.lines_per_row - 1 ? kept.last_line : kept.full_line;
  CellField cell;
  cell.kind = line.kinds[index];
  cell.value = line.values[index];
  cell.line = layout.first_line.number + (row - 1) * kept.lines_per_row + line_in_row;
  const std::size_t start = kept.format.columns_of_first(index);
  cell.column = static_cast<std::int64_t>(start) + 1;
  const std::string_view text(line.bytes.data(), line.text_size);
  if (start < text.size()) {
    cell.text = inspect::trimmed(text.substr(start, static_cast<std::size_t>(kept.format[index].width)));
  }
  return cell;
}

CellField CellLookup::field_by_arithmetic(const inspect::ArrayLayout& layout, std::int64_t row,
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

  CellField cell;
  cell.line = layout.first_line.number + (row - 1) * lines_per_row + line_in_row;
  cell.column = index_in_line * layout.width + 1;
  const auto width = static_cast<std::size_t>(layout.width);
  const char* bytes = nullptr;
  try {
    bytes = bytes_at(offset, width);
  } catch (const inspect::ReadError& e) {
    throw inspect::ReadError(cell.line, cell.column, e.what());  // the field's place, not the page's
  }
  const std::string_view text(bytes, width);
  const format::Descriptor descriptor{layout.kind, layout.width, 0};
  const inspect::Field f = inspect::read_field(text, 0, descriptor);
  cell.kind = kind_of(f);
  if (cell.kind == inspect::CellKind::Value) {
    cell.value = f.type == format::Descriptor::Kind::Integer ? static_cast<float>(f.integer) : f.real;
  }
  cell.text = inspect::trimmed(text);
  return cell;
}

const char* CellLookup::page(std::int64_t page, std::size_t& size) {
  if (const auto found = slot_of_page_.find(page); found != slot_of_page_.end()) {
    Kept& k = kept_[found->second];
    k.recent = true;
    size = k.size;
    return slot_bytes(found->second);
  }
  if (kept_.empty()) kept_.resize(kPagesKept);
  // The next slot not used lately.
  while (kept_[hand_].recent) {
    kept_[hand_].recent = false;
    hand_ = (hand_ + 1) % kPagesKept;
  }
  const std::size_t slot = hand_;
  hand_ = (hand_ + 1) % kPagesKept;
  Kept& k = kept_[slot];
  if (k.page >= 0) slot_of_page_.erase(k.page);
  char* bytes = slot_bytes(slot);
  k = Kept{};
  for (;;) {
    int error = 0;
    const std::size_t n = platform::read_at(
        fd_, bytes + k.size, kPageBytes - k.size,
        page * static_cast<std::int64_t>(kPageBytes) + static_cast<std::int64_t>(k.size), error);
    if (error != 0) throw inspect::ReadError(1, 1, std::string("the file cannot be read: ") + std::strerror(error));
    if (n == 0) break;
    k.size += n;
    if (k.size == kPageBytes) break;
  }
  k.page = page;
  k.recent = true;
  slot_of_page_.emplace(page, slot);
  size = k.size;
  return bytes;
}

char* CellLookup::slot_bytes(std::size_t slot) {
  const std::size_t chunk = slot / kPagesPerChunk;
  while (chunks_.size() <= chunk) chunks_.emplace_back(new char[kPagesPerChunk * kPageBytes]);
  return chunks_[chunk].get() + (slot % kPagesPerChunk) * kPageBytes;
}

const char* CellLookup::bytes_at(std::int64_t offset, std::size_t length) {
  const std::int64_t first_page = offset / static_cast<std::int64_t>(kPageBytes);
  const std::size_t in_page = static_cast<std::size_t>(offset % static_cast<std::int64_t>(kPageBytes));
  std::size_t size = 0;
  const char* bytes = page(first_page, size);
  if (in_page + length <= kPageBytes) {
    // The file changed since it was read when the field is not there.
    if (in_page + length > size) throw inspect::ReadError(1, 1, "the file changed while it was checked");
    return bytes + in_page;
  }
  if (length > sizeof straddling_ || size < kPageBytes) {
    throw inspect::ReadError(1, 1, "the file changed while it was checked");
  }
  const std::size_t head = kPageBytes - in_page;
  std::memcpy(straddling_, bytes + in_page, head);
  const char* next = page(first_page + 1, size);
  if (length - head > size) throw inspect::ReadError(1, 1, "the file changed while it was checked");
  std::memcpy(straddling_ + head, next, length - head);
  return straddling_;
}

CellField CellLookup::field_by_reading(const inspect::ArrayLayout& layout, std::int64_t row, std::int64_t column) {
  if (!cursor_ || cursor_control_.offset != layout.control.offset || cursor_row_ >= row) {
    cursor_ = std::make_unique<inspect::ArrayCursor>(fd_, layout.control, rows_, columns_, reading_);
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
  const inspect::ValueLine* line = &cursor_->next_line();
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
  cell.text = line->field_text(column);
  return cell;
}

}  // namespace check
