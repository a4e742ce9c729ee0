#include "python/native/model_reading.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <type_traits>

#include "format/basic_file.h"
#include "format/flow_file.h"
#include "inspect/array_cursor.h"
#include "inspect/basic_file_reader.h"
#include "inspect/drain_file_reader.h"
#include "inspect/field.h"
#include "inspect/flow_file_reader.h"
#include "inspect/input_file.h"
#include "inspect/read_error.h"

namespace gwbuilders {
namespace {

using inspect::Field;
using inspect::ReadError;
using inspect::Record;
using inspect::Section;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();

std::int64_t file_size(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

// At `next_line`, the line that is not there.
[[noreturn]] void ends_early(std::int64_t next_line, const std::string& expected) {
  throw ReadError(next_line, 1, "the file ends early: expected " + expected);
}

// Every cell of an array the builders write takes at least one column of
// the file: a count that claims more cells than the file has bytes comes
// from a damaged header, and is refused before anything is allocated.
void refuse_claim_beyond(const inspect::GridCounts& grid, std::int64_t bytes, std::int64_t line) {
  std::int64_t cells = 0;
  if (__builtin_mul_overflow(grid.layers, grid.rows, &cells) ||
      __builtin_mul_overflow(cells, grid.columns, &cells) || cells > bytes) {
    throw ReadError(line, 1,
                    "the grid counts (" + std::to_string(grid.layers) + " layers, " +
                        std::to_string(grid.rows) + " rows, " + std::to_string(grid.columns) +
                        " columns) give more cells than the file's " + std::to_string(bytes) +
                        " bytes can hold");
  }
}

// The value of a field that must be a number: a value, or asterisks (told,
// and read as `asterisk_value`). `what` names it for the message.
template <class Value, class What>
Value number_of(std::int64_t line, const Field& field, Value asterisk_value, AsteriskFields& asterisks,
                What&& what) {
  switch (field.kind) {
    case Field::Kind::Value:
      return field.type == format::Descriptor::Kind::Integer ? static_cast<Value>(field.integer)
                                                             : static_cast<Value>(field.real);
    case Field::Kind::Asterisks:
      asterisks.add(line, field.column, std::string(what()));
      return asterisk_value;
    case Field::Kind::NotANumber: break;
  }
  throw ReadError(line, field.column, "expected a number (" + std::string(what()) + "), found " +
                                          inspect::found_in(field));
}

template <class Value>
Value number_of(const Record& record, const Field& field, Value asterisk_value, AsteriskFields& asterisks,
                const std::string& what) {
  return number_of(record.line.number, field, asterisk_value, asterisks, [&] { return what; });
}

// The form in which the cursor gives an array's values: floats, quick to
// decode, unless a float could not hold every integer its fields can (an I
// field of more than seven columns may hold 99999999, above 2^24): those
// come as fields, each integer exact.
template <class Value>
inspect::ValueForm form_for(const inspect::ArrayHeader& array) {
  constexpr std::int32_t kWidestExactInFloat = 7;
  if constexpr (std::is_same_v<Value, std::int32_t>) {
    for (const format::Descriptor& d : array.values_format.descriptors()) {
      if (d.kind == format::Descriptor::Kind::Integer && d.width > kWidestExactInFloat) {
        return inspect::ValueForm::Fields;
      }
    }
  }
  return inspect::ValueForm::Floats;
}

// The values of one line of an array into `out` (the cell of its first
// value). A field that is no value is read again as the file's reader cuts
// it, for its asterisks or its message.
template <class Value>
void take_line(const inspect::ValueLine& line, Value* out, Value asterisk_value, AsteriskFields& asterisks,
               const std::string& name) {
  const auto count = static_cast<std::size_t>(line.count);
  const auto cell = [&](std::size_t i) {
    return [&, i] {
      return name + ", row " + std::to_string(line.row) + ", column " +
             std::to_string(line.first_column + static_cast<std::int64_t>(i));
    };
  };
  if (!line.fields.empty()) {
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = number_of(line.line_number, line.fields[i], asterisk_value, asterisks, cell(i));
    }
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    // (A field the line ends before reads as 0, as a blank field does.)
    if (line.kinds[i] == inspect::CellKind::Value || line.kinds[i] == inspect::CellKind::Missing) {
      out[i] = static_cast<Value>(line.values[i]);
      continue;
    }
    const Field field = inspect::read_field(line.text, line.format->columns_of_first(i), (*line.format)[i]);
    out[i] = number_of(line.line_number, field, asterisk_value, asterisks, cell(i));
  }
}

// Right after an array-control record: the array's rows into `plane`
// (rows * columns values), on the cursor that `reader` hands over, which
// passes a row whose bytes repeat the row before by comparing them; that
// row's values are the row before's again. The reader then goes on after
// the array, or, where the file ends inside it, names the row missing.
template <class Value, class Reader>
void read_array(Reader& reader, Value* plane, std::int64_t layer, Value asterisk_value,
                AsteriskFields& asterisks) {
  inspect::ArrayCursor cursor = reader.values_cursor(inspect::Reading::Quick, form_for<Value>(reader.array()));
  const inspect::ArrayHeader& array = cursor.header();
  const std::string name = inspect::array_name(array.label_text, layer);
  const std::int64_t columns = array.columns;
  std::int64_t row_asterisks = 0;  // of the last row read
  try {
    for (std::int64_t row = 1; row <= array.rows; ++row) {
      Value* out = plane + (row - 1) * columns;
      if (cursor.begin_row() && row > 1 && columns > 0) {
        std::copy(out - columns, out, out);
        asterisks.count += row_asterisks;
        continue;
      }
      const std::int64_t before = asterisks.count;
      for (std::int64_t k = 0; k < cursor.lines_per_row(); ++k) {
        const inspect::ValueLine& line = cursor.next_line();
        take_line(line, out + (line.first_column - 1), asterisk_value, asterisks, name);
      }
      row_asterisks = asterisks.count - before;
    }
  } catch (const inspect::FileEndsEarly&) {
    // The reader, resumed where the file ends, says what was expected.
  }
  reader.resume_after(cursor);
}

std::int32_t integer_at(const Record& record, std::size_t i, AsteriskFields& asterisks, const char* what) {
  return number_of<std::int32_t>(record, record.fields[i], kLowest, asterisks, what);
}
float real_at(const Record& record, std::size_t i, AsteriskFields& asterisks, const std::string& what) {
  return number_of<float>(record, record.fields[i], kNaN, asterisks, what);
}

std::string without_trailing_blanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// A file opened for its reader, with its size: a header may not claim more
// cells than that.
template <typename Reader>
struct OpenedFile {
  inspect::InputFile file;
  std::int64_t bytes;
  Reader reader;
  explicit OpenedFile(const std::string& path) : file(path), bytes(file_size(file.fd())), reader(file.fd()) {}
};

}  // namespace

void AsteriskFields::add(std::int64_t line, std::int64_t column, std::string what) {
  if (first.size() < kMostKept) first.push_back({line, column, std::move(what)});
  ++count;
}

BasicContents read_basic_file(const std::string& path, ArraySink& sink) {
  OpenedFile<inspect::BasicFileReader> opened(path);
  [[maybe_unused]] auto& [file, bytes, reader] = opened;
  BasicContents c;
  Record record;
  std::int64_t titles = 0, plane = 0;
  std::int32_t* ibound = nullptr;
  float* shead = nullptr;
  std::int64_t ibound_layer = 0, shead_layer = 0;
  while (reader.next(record)) {
    switch (record.section) {
      case Section::Title:
        (titles++ == 0 ? c.title_1 : c.title_2) = without_trailing_blanks(record.fields[0].text);
        break;
      case Section::Dimensions:
        c.grid = reader.grid();
        c.period_count = reader.period_count();
        c.time_unit = integer_at(record, 4, c.asterisks, "the time unit");
        refuse_claim_beyond(c.grid, bytes, record.line.number);
        plane = c.grid.rows * c.grid.columns;
        ibound = sink.integer_array(std::string(format::kBoundaryArray.label), c.grid);
        shead = sink.real_array(std::string(format::kStartingHeadArray.label), c.grid);
        break;
      case Section::ModuleUnits:
        for (std::size_t i = 0; i < c.module_units.size() && i < record.fields.size(); ++i) {
          c.module_units[i] = integer_at(record, i, c.asterisks, "a module's unit number");
        }
        break;
      case Section::Options:
        c.memory_sharing = integer_at(record, 0, c.asterisks, "the memory-sharing option");
        c.save_heads = integer_at(record, 1, c.asterisks, "the save-starting-heads option");
        break;
      case Section::ArrayControl:
        if (record.array->label_text == format::kBoundaryArray.label) {
          ++ibound_layer;
          read_array(reader, ibound + (ibound_layer - 1) * plane, ibound_layer, kLowest, c.asterisks);
        } else {
          ++shead_layer;
          read_array(reader, shead + (shead_layer - 1) * plane, shead_layer, kNaN, c.asterisks);
        }
        break;
      case Section::NoFlowHead:
        c.no_flow_head = real_at(record, 0, c.asterisks, "the head at no-flow cells");
        break;
      case Section::StressPeriod: {
        const std::string name = "stress period " + std::to_string(record.period);
        c.periods.push_back({real_at(record, 0, c.asterisks, "the length of " + name),
                             integer_at(record, 1, c.asterisks, "the time steps of a stress period"),
                             real_at(record, 2, c.asterisks, "the time-step multiplier of " + name)});
        break;
      }
      default: break;
    }
  }
  if (reader.ended_early()) ends_early(reader.checkpoint().place.number, reader.expected());
  return c;
}

FlowContents read_flow_file(const std::string& path, ArraySink& sink) {
  OpenedFile<inspect::FlowFileReader> opened(path);
  [[maybe_unused]] auto& [file, bytes, reader] = opened;
  FlowContents c;
  Record record;
  std::vector<float>* list = nullptr;
  // Each label's buffer, and which layers the file holds it for.
  struct LayerArray {
    float* data = nullptr;
    std::vector<bool> held;
  };
  std::map<std::string, LayerArray, std::less<>> arrays;
  while (reader.next(record)) {
    switch (record.section) {
      case Section::FlowHeader:
        c.simulation_type = integer_at(record, 0, c.asterisks, "the simulation type");
        c.cell_by_cell_code = integer_at(record, 1, c.asterisks, "the cell-by-cell output code");
        break;
      case Section::LayerTypes:
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
          c.layer_types.push_back(integer_at(record, i, c.asterisks, "a layer type code"));
        }
        break;
      case Section::ArrayControl: {
        const inspect::ArrayHeader& array = *record.array;
        if (array.is_list) {
          list = array.label_text == format::kAnisotropyList.label ? &c.anisotropy
                 : array.label_text == format::kRowWidthList.label ? &c.delr
                                                                     : &c.delc;
          break;
        }
        list = nullptr;
        auto found = arrays.find(array.label_text);
        if (found == arrays.end()) {
          if (arrays.empty()) {
            c.grid = reader.grid();
            refuse_claim_beyond(c.grid, bytes, record.line.number);
          }
          LayerArray added{sink.real_array(array.label_text, c.grid),
                           std::vector<bool>(static_cast<std::size_t>(c.grid.layers), false)};
          found = arrays.emplace(array.label_text, std::move(added)).first;
          c.labels.push_back(array.label_text);
        }
        const std::int64_t layer = array.layer_number;
        found->second.held[static_cast<std::size_t>(layer - 1)] = true;
        read_array(reader, found->second.data + (layer - 1) * c.grid.rows * c.grid.columns, layer, kNaN,
                   c.asterisks);
        break;
      }
      case Section::ArrayValues:
        // (Only a list's: a layer array's values are read by read_array().)
        if (list != nullptr) {
          const std::string name = inspect::array_name(record.array->label_text, 0);
          for (std::size_t i = 0; i < record.fields.size(); ++i) {
            list->push_back(real_at(record, i, c.asterisks,
                                    name + ", entry " + std::to_string(record.first + static_cast<std::int64_t>(i))));
          }
        }
        break;
      default: break;
    }
  }
  if (reader.ended_early()) ends_early(reader.checkpoint().place.number, reader.expected());
  if (c.grid.layers < 0 || arrays.empty()) c.grid = reader.grid();
  // A layer without such an array is NaN throughout (filled only now, so
  // that the layers the file holds are written once).
  const std::int64_t plane = c.grid.rows * c.grid.columns;
  for (auto& [label, array] : arrays) {
    for (std::size_t layer = 0; layer < array.held.size(); ++layer) {
      if (!array.held[layer]) std::fill_n(array.data + static_cast<std::int64_t>(layer) * plane, plane, kNaN);
    }
  }
  return c;
}

DrainContents read_drain_file(const std::string& path) {
  inspect::InputFile file(path);
  inspect::DrainFileReader reader(file.fd());
  DrainContents c;
  Record record;
  std::int64_t last_line = 0;
  while (reader.next(record)) {
    last_line = record.line.number;
    switch (record.section) {
      case Section::DrainHeader:
        c.max_drains = integer_at(record, 0, c.asterisks, "the maximum number of drains");
        c.flow_code = integer_at(record, 1, c.asterisks, "the flow term output code");
        break;
      case Section::UseCode:
        c.periods.push_back({integer_at(record, 0, c.asterisks, "a use code"),
                             static_cast<std::int64_t>(c.drains.size())});
        break;
      case Section::Drain: {
        const std::string name =
            "drain " + std::to_string(record.drain) + " of stress period " + std::to_string(record.period);
        Drain d;
        d.layer = integer_at(record, 0, c.asterisks, "a drain's layer");
        d.row = integer_at(record, 1, c.asterisks, "a drain's row");
        d.column = integer_at(record, 2, c.asterisks, "a drain's column");
        d.elevation = real_at(record, 3, c.asterisks, "the elevation of " + name);
        d.conductance = real_at(record, 4, c.asterisks, "the conductance of " + name);
        c.drains.push_back(d);
        break;
      }
      default: break;
    }
  }
  if (reader.ended_early()) ends_early(last_line + 1, reader.expected());
  return c;
}

}  // namespace gwbuilders
