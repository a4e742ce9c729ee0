#include "report/map_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace report {
namespace {

using inspect::Field;

bool numeric(const Field& field, double& value) {
  if (!field.is_value()) return false;
  value = field.type == format::Descriptor::Kind::Integer ? field.integer : field.real;
  return field.type != format::Descriptor::Kind::Text;
}

}  // namespace

void MapStats::add(const MapStats& row) {
  cells += row.cells;
  unreadable += row.unreadable;
  low = std::min(low, row.low);
  high = std::max(high, row.high);
  uniform = uniform && row.uniform;
  no_flow += row.no_flow;
  no_flow_low = std::min(no_flow_low, row.no_flow_low);
  no_flow_high = std::max(no_flow_high, row.no_flow_high);
  for (std::size_t i = 0; i < class_cells.size(); ++i) class_cells[i] += row.class_cells[i];
  rows_read += row.rows_read;
}

MapRaster::MapRaster(Kind kind, const GridLayout& layout)
    : kind_(kind), layout_(layout),
      row_(static_cast<std::size_t>(layout.columns.blocks())),
      last_row_(row_.size()),
      block_row_(row_.size()),
      block_values_(static_cast<std::size_t>(layout.columns.blocks() * layout.rows.blocks()), 0.0),
      block_classes_(block_values_.size(), CellClass::NoData) {}

void MapRaster::Partial::merge(const Partial& from, std::int64_t times) {
  if (from.count == 0) return;
  if (count == 0 || from.cls > cls) {
    cls = from.cls;
    shown = from.shown;
  }
  const auto t = static_cast<double>(times);
  sum += from.sum * t;
  count += from.count * times;
  summed += from.summed * times;
  no_flow_sum += from.no_flow_sum * t;
  no_flow += from.no_flow * times;
}

void MapRaster::add_cell(Partial& block, bool readable, double value, std::int64_t column, MapStats& stats) {
  ++stats.cells;
  if (!readable) ++stats.unreadable;
  if (kind_ == Kind::Boundary) {
    std::int32_t shown = 0;
    CellClass cls = CellClass::Other;
    if (readable && value == std::trunc(value) && std::abs(value) <= 2147483647.0) {
      shown = static_cast<std::int32_t>(value);
      cls = cell_class(shown);
    } else {
      shown = std::numeric_limits<std::int32_t>::min();
    }
    if (cls == CellClass::NoFlow && record_ != nullptr) record_->mark(row_number_, column);
    ++stats.class_cells[static_cast<std::size_t>(cls)];
    note_value(shown, stats);
    if (block.count == 0 || cls > block.cls) {
      block.cls = cls;
      block.shown = shown;
    }
    ++block.count;
    return;
  }
  ++block.count;
  if (no_flow_ != nullptr) row_values_[static_cast<std::size_t>(column - 1)] = readable ? value : std::nan("");
  if (!readable) {
    block.cls = CellClass::Other;
    return;
  }
  note_value(value, stats);
  if (no_flow_ != nullptr && no_flow_->no_flow(row_number_, column)) {
    block.no_flow_sum += value;
    ++block.no_flow;
    ++stats.no_flow;
    stats.no_flow_low = std::min(stats.no_flow_low, value);
    stats.no_flow_high = std::max(stats.no_flow_high, value);
    return;
  }
  block.sum += value;
  ++block.summed;
  stats.low = std::min(stats.low, value);
  stats.high = std::max(stats.high, value);
}

void MapRaster::note_value(double value, MapStats& stats) {
  if (!first_value_seen_) {
    first_value_seen_ = true;
    first_value_ = value;
  } else if (value != first_value_) {
    stats.uniform = false;
  }
}

bool MapRaster::uniform() const {
  return stats_.uniform && first_value_seen_ && stats_.unreadable == 0 &&
         stats_.cells == layout_.columns.cells() * layout_.rows.cells();
}

void MapRaster::add_line(std::int64_t row, std::int64_t first_column, std::span<const Field> fields) {
  const AxisLayout& columns = layout_.columns;
  if (row != row_number_) {
    row_number_ = row;
    columns_in_row_ = 0;
    std::fill(row_.begin(), row_.end(), Partial{});
    row_stats_ = MapStats{};
    if (no_flow_ != nullptr) row_values_.assign(static_cast<std::size_t>(columns.cells()), std::nan(""));
  }
  std::int64_t block = columns.block_of(first_column);
  std::int64_t left_in_block = columns.last_cell(block) - first_column + 1;
  std::int64_t column = first_column;
  for (const Field& field : fields) {
    double value = 0.0;
    const bool readable = numeric(field, value);
    add_cell(row_[static_cast<std::size_t>(block)], readable, value, column++, row_stats_);
    if (--left_in_block == 0) {
      ++block;
      left_in_block = columns.cells_per_block();
    }
  }
  columns_in_row_ += static_cast<std::int64_t>(fields.size());
  if (columns_in_row_ >= columns.cells()) end_row();
}

void MapRaster::end_row() {
  merge_repeats();  // of the row before, which this one follows
  row_stats_.rows_read = 1;
  std::swap(row_, last_row_);
  std::swap(row_values_, last_row_values_);
  last_row_stats_ = row_stats_;
  row_number_ = 0;
  count_last_row();
}

void MapRaster::repeat_row() {
  const std::int64_t row = rows_merged_ + 1;
  if (record_ != nullptr) record_->copy_row_before(row);
  if (no_flow_ != nullptr && !no_flow_->rows_alike(row, row - 1)) return add_row_again();
  count_last_row();
}

void MapRaster::add_row_again() {
  row_number_ = rows_merged_ + 1;
  std::fill(row_.begin(), row_.end(), Partial{});
  row_stats_ = MapStats{};
  const std::vector<double> values = last_row_values_;
  row_values_.assign(values.size(), std::nan(""));
  const AxisLayout& columns = layout_.columns;
  for (std::int64_t c = 1; c <= columns.cells(); ++c) {
    const double value = values[static_cast<std::size_t>(c - 1)];
    add_cell(row_[static_cast<std::size_t>(columns.block_of(c))], !std::isnan(value), value, c, row_stats_);
  }
  columns_in_row_ = columns.cells();
  end_row();
}

void MapRaster::count_last_row() {
  stats_.add(last_row_stats_);
  ++repeats_;
  const std::int64_t row_number = ++rows_merged_;
  const AxisLayout& rows = layout_.rows;
  const std::int64_t block_row = rows.block_of(row_number);
  if (row_number == rows.last_cell(block_row)) {
    merge_repeats();
    close_block_row(block_row);
  }
}

void MapRaster::merge_repeats() {
  if (repeats_ == 0) return;
  for (std::size_t b = 0; b < last_row_.size(); ++b) block_row_[b].merge(last_row_[b], repeats_);
  repeats_ = 0;
}

void MapRaster::close_block_row(std::int64_t block_row) {
  const std::size_t width = block_row_.size();
  for (std::size_t b = 0; b < width; ++b) {
    Partial& p = block_row_[b];
    const std::size_t at = static_cast<std::size_t>(block_row) * width + b;
    if (p.count == 0) {
      block_classes_[at] = CellClass::NoData;
      block_values_[at] = 0.0;
    } else if (kind_ == Kind::Boundary) {
      block_classes_[at] = p.cls;
      block_values_[at] = p.shown;
    } else if (p.cls == CellClass::Other) {
      block_classes_[at] = CellClass::Other;
      block_values_[at] = std::nan("");
    } else if (p.summed > 0) {
      block_classes_[at] = CellClass::Active;
      block_values_[at] = p.sum / static_cast<double>(p.summed);
    } else {
      block_classes_[at] = CellClass::NoFlow;
      block_values_[at] = p.no_flow_sum / static_cast<double>(p.no_flow);
    }
    p = Partial{};
  }
}

void MapRaster::finish() {
  merge_repeats();
  // A row cut short: its cells count, the rest of the row has none.
  if (row_number_ != 0 && columns_in_row_ > 0) {
    stats_.add(row_stats_);
    for (std::size_t b = 0; b < row_.size(); ++b) block_row_[b].merge(row_[b], 1);
    row_number_ = 0;
  }
  const AxisLayout& rows = layout_.rows;
  if (rows_merged_ < rows.cells()) {
    // The block row in progress keeps what it has; the later ones stay NoData.
    close_block_row(rows.block_of(rows_merged_ + 1));
  }
  if (stats_.rows_read == 0 && stats_.cells == 0) stats_.uniform = false;
}

ValueScale MapRaster::scale() const {
  if (!(stats_.low <= stats_.high)) return ValueScale(0.0, 0.0);
  return ValueScale(stats_.low, stats_.high);
}

IndexedImage MapRaster::render() const {
  const AxisLayout& columns = layout_.columns;
  const AxisLayout& rows = layout_.rows;
  IndexedImage image;
  image.width = columns.pixels();
  image.height = rows.pixels();
  image.palette = kind_ == Kind::Boundary ? boundary_palette() : value_palette();
  image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  const ValueScale values = scale();
  if (uniform()) {  // one colour
    const std::uint8_t index = kind_ == Kind::Boundary
                                   ? static_cast<std::uint8_t>(cell_class(static_cast<std::int32_t>(first_value_)))
                                   : values.index(first_value_);
    std::fill(image.pixels.begin(), image.pixels.end(), index);
    return image;
  }
  const auto width = static_cast<std::size_t>(columns.blocks());
  std::uint8_t* out = image.pixels.data();
  for (int py = 0; py < image.height; ++py) {
    const std::int64_t by0 = rows.first_block(py), by1 = rows.last_block(py);
    for (int px = 0; px < image.width; ++px) {
      const std::int64_t bx0 = columns.first_block(px), bx1 = columns.last_block(px);
      CellClass top = CellClass::Active;
      bool any = false;
      double sum = 0.0;
      std::int64_t means = 0;
      for (std::int64_t by = by0; by <= by1; ++by) {
        for (std::int64_t bx = bx0; bx <= bx1; ++bx) {
          const std::size_t at = static_cast<std::size_t>(by) * width + static_cast<std::size_t>(bx);
          const CellClass c = block_classes_[at];
          if (c == CellClass::NoData) continue;
          if (!any || c > top) top = c;
          any = true;
          if (c == CellClass::Active) {
            sum += block_values_[at];
            ++means;
          }
        }
      }
      std::uint8_t index;
      if (!any) {
        index = kind_ == Kind::Boundary ? static_cast<std::uint8_t>(CellClass::NoData) : kNoDataIndex;
      } else if (kind_ == Kind::Boundary) {
        index = static_cast<std::uint8_t>(top);
      } else if (top == CellClass::Other) {
        index = kUnreadableIndex;
      } else if (means > 0) {
        index = values.index(sum / static_cast<double>(means));
      } else {
        index = kNoFlowIndex;  // no-flow cells alone, off the scale
      }
      *out++ = index;
    }
  }
  return image;
}

std::string MapRaster::block_bytes() const {
  const std::size_t n = block_values_.size();
  std::string bytes(n * 5, '\0');
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t bits;
    if (kind_ == Kind::Boundary) {
      bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(block_values_[i]));
    } else {
      const float value = static_cast<float>(block_values_[i]);
      std::memcpy(&bits, &value, sizeof bits);
    }
    for (int k = 0; k < 4; ++k) bytes[i * 4 + static_cast<std::size_t>(k)] = static_cast<char>(bits >> (8 * k));
    bytes[n * 4 + i] = static_cast<char>(block_classes_[i]);
  }
  return bytes;
}

}  // namespace report
