#include "common/array_entry.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <string>
#include <type_traits>
#include <vector>

#include "format/array_control.h"
#include "format/array_entry.h"
#include "format/uniform_row.h"

namespace common {
namespace {

template <typename Cell>
constexpr std::string_view format_text_for() {
  return std::is_same_v<Cell, float> ? format::kRealValuesFormat : format::kIntegerValuesFormat;
}

// The lines that ask for a cell of column c (counted from 0), after its row
// line: " Column ", the number and the cell suffix, then the legend lines.
// They are rendered ahead for up to 4096 columns; wider grids, and an
// instance whose lines would not each make one console record (no instance
// of the programs), show them one by one with write_line().
template <typename Cell>
class CellQuestions {
 public:
  CellQuestions(const ArrayInstance<Cell>& instance, std::size_t columns) : instance_(instance) {
    constexpr std::size_t kMostColumns = 4096;  // about 1 MiB of lines at most
    if (columns > kMostColumns) return;
    by_column_.resize(columns);
    for (std::size_t c = 0; c < columns; ++c) {
      if (!add(by_column_[c], c)) {
        by_column_.clear();
        return;
      }
    }
  }

  void ask(Console& console, std::size_t c) const {
    if (c < by_column_.size()) {
      console.write_lines(by_column_[c]);
      return;
    }
    console.write_line({" Column ", static_cast<std::int32_t>(c + 1), instance_.cell_suffix});
    for (std::string_view legend : instance_.legend_lines) console.write_line({legend});
  }

 private:
  bool add(ConsoleLines& lines, std::size_t c) const {
    if (!lines.add({" Column ", static_cast<std::int32_t>(c + 1), instance_.cell_suffix})) return false;
    for (std::string_view legend : instance_.legend_lines) {
      if (!lines.add({legend})) return false;
    }
    return true;
  }

  const ArrayInstance<Cell>& instance_;
  std::vector<ConsoleLines> by_column_;  // empty when not rendered ahead
};

template <typename Cell>
void read_cell(Console& console, Cell& cell) {
  if constexpr (std::is_same_v<Cell, float>) {
    console.read_real(cell);
  } else {
    console.read_integer(cell);
  }
}

}  // namespace

void write_array_control(OutputFile& file, std::int32_t locator, std::int32_t multiplier,
                         std::string_view format_text, std::int32_t print_code,
                         std::string_view label, std::int32_t layer) {
  file.write_rendered(
      format::render_array_control(locator, multiplier, format_text, print_code, label, layer));
}

void write_array_control(OutputFile& file, std::int32_t locator, float multiplier,
                         std::string_view format_text, std::int32_t print_code,
                         std::string_view label, std::int32_t layer) {
  file.write_rendered(
      format::render_array_control(locator, multiplier, format_text, print_code, label, layer));
}

template <typename Cell>
void enter_layer_array(Console& console, OutputFile& file, const ArrayInstance<Cell>& instance,
                       const ArrayCells<Cell>& cells, const LayerExtent& extent) {
  static const format::DescriptorList values_format{format_text_for<Cell>()};
  constexpr bool kReal = std::is_same_v<Cell, float>;

  if (!instance.title_line.empty()) console.write_line({instance.title_line});
  console.write_line({"Layer ", extent.layer, instance.heading_suffix});
  console.write_line({"  Are all values the same? 0=yes 1=no "});
  console.read_integer(cells.same_answer);
  const bool uniform = cells.same_answer == 0;
  if (uniform) {
    console.write_line({"  Value? :"});
    read_cell(console, cells.uniform_value);
  }

  if constexpr (kReal) {
    write_array_control(file, instance.locator, 1.0f, format_text_for<Cell>(),
                        instance.print_code, instance.label, extent.layer);
  } else {
    write_array_control(file, instance.locator, std::int32_t{1}, format_text_for<Cell>(),
                        instance.print_code, instance.label, extent.layer);
  }

  // Loop bounds as the counts stand now.
  const std::int32_t row_count = extent.row_count;
  const std::size_t columns =
      extent.column_count > 0 ? static_cast<std::size_t>(extent.column_count) : 0;
  WorkingGrid<Cell>& grid = cells.grid;
  grid.prepare(row_count, extent.column_count);
  // Each record of a row is rendered once, for the file and the echo alike.
  auto write_and_echo = [&](std::string_view record) {
    file.write_rendered(record);
    console.write_rendered(record);
  };
  if (uniform) {
    // Every row is the same: its records are rendered once for all.
    const format::UniformRow row_records(values_format, cells.uniform_value, columns);
    for (std::int64_t r = 1; r <= row_count; ++r) {
      if (columns > 0) {
        std::span<Cell> row = grid.row(r);
        std::fill(row.begin(), row.end(), cells.uniform_value);
      }
      row_records.for_each_record(write_and_echo);
    }
    return;
  }
  // The questions of a cell repeat: its column's lines for every row, the
  // row line for every cell of the row. Both are rendered once (the
  // columns' only while they take little memory).
  const CellQuestions questions(instance, columns);
  std::string scratch;
  for (std::int64_t r = 1; r <= row_count; ++r) {
    std::span<Cell> row = columns > 0 ? grid.row(r) : std::span<Cell>();
    // " Row " and a number in 11 columns always make one console record.
    ConsoleLines row_line;
    [[maybe_unused]] const bool row_line_fits =
        row_line.add({" Row ", static_cast<std::int32_t>(r)});
    assert(row_line_fits);
    for (std::size_t c = 0; c < columns; ++c) {
      console.write_lines(row_line);
      questions.ask(console, c);
      console.asking_for_cell(instance.heading_suffix, extent.layer, r,
                              static_cast<std::int64_t>(c + 1));
      read_cell(console, row[c]);
    }
    format::render_records(values_format, std::span<const Cell>(row.data(), row.size()), write_and_echo,
                   scratch);
  }
}

template void enter_layer_array<std::int32_t>(Console&, OutputFile&,
                                              const ArrayInstance<std::int32_t>&,
                                              const ArrayCells<std::int32_t>&, const LayerExtent&);
template void enter_layer_array<float>(Console&, OutputFile&, const ArrayInstance<float>&,
                                       const ArrayCells<float>&, const LayerExtent&);

}  // namespace common
