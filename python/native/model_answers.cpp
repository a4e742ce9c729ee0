#include "python/native/model_answers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "common/capacity.h"
#include "format/array_entry.h"
#include "format/basic_file.h"
#include "format/descriptor_list.h"
#include "format/drain_file.h"
#include "format/field_render.h"
#include "format/flow_file.h"

namespace gwbuilders {
namespace {

// The room an answer may take: the longest is the largest real's
// ("-3.4028234663852886e+38", AnswerText::real) and its line end.
constexpr std::size_t kLongestAnswer = 32;
// The cells of an array are put a block at a time, room made once a block.
constexpr std::int64_t kBlock = 4096;
// A count that is answered, not written: only its limits hold it.
constexpr format::Descriptor kAnyCount{format::Descriptor::Kind::Integer, 11, 0};

// The answers, one a line. Room for a run of answers is made once, so that
// an array's cells are put without a check each.
class AnswerText {
 public:
  void reserve_more(std::size_t answers) {
    const std::size_t wanted = used_ + answers * kLongestAnswer;
    if (wanted > text_.size()) text_.resize(std::max(wanted, text_.size() * 2));
  }
  void integer(std::int32_t value) {
    char* at = text_.data() + used_;
    at = std::to_chars(at, at + kLongestAnswer, value).ptr;
    *at++ = '\n';
    used_ = static_cast<std::size_t>(at - text_.data());
  }
  void real(float value) {
    char* at = text_.data() + used_;
    // The shortest text of this very value; but that of the largest real
    // ("3.4028235e+38") lies above it, where the builder refuses an answer
    // as beyond the range: that one is answered by its exact value.
    at = std::fabs(value) == std::numeric_limits<float>::max()
             ? std::to_chars(at, at + kLongestAnswer, static_cast<double>(value)).ptr
             : std::to_chars(at, at + kLongestAnswer, value).ptr;
    *at++ = '\n';
    used_ = static_cast<std::size_t>(at - text_.data());
  }
  void line(std::string_view text) {
    reserve_more(text.size() / kLongestAnswer + 1);
    std::memcpy(text_.data() + used_, text.data(), text.size());
    used_ += text.size();
    text_[used_++] = '\n';
  }
  std::string take() {
    text_.resize(used_);
    return std::move(text_);
  }

 private:
  std::string text_;
  std::size_t used_ = 0;
};

// The first descriptor of a format, the field a value goes into.
format::Descriptor field_of(std::string_view format_text, std::size_t at = 0) {
  return format::DescriptorList(format_text)[at];
}

std::string describe(const format::Descriptor& field) {
  return std::string(field.kind == format::Descriptor::Kind::Integer ? "I" : "G") +
         std::to_string(field.width) +
         (field.kind == format::Descriptor::Kind::Real ? "." + std::to_string(field.digits) : "");
}

// Whether the field renders `value` as a number, not as asterisks.
bool fits(std::int32_t value, const format::Descriptor& field) {
  if (field.width > 11) return true;  // every 32-bit integer
  char rendered[16];
  format::put_integer_field(rendered, value, field.width);
  return rendered[0] != '*';
}

// The range of values an Iw field holds, for messages: "-99 to 999".
std::string range_of(const format::Descriptor& field) {
  std::int64_t most = 1;
  for (int i = 0; i < field.width && most <= std::int64_t{1} << 32; ++i) most *= 10;
  most -= 1;
  const std::int64_t least = -(most / 10);
  return std::to_string(std::max<std::int64_t>(least, INT32_MIN + std::int64_t{1})) + " to " +
         std::to_string(std::min<std::int64_t>(most, INT32_MAX));
}

// Whether every cell holds the bits of the first (so that -0.0 beside 0.0,
// which render differently, is not one value). A block at a time without a
// branch inside, which the compiler turns into vector instructions: the
// arrays of one value, the common case in large models, are passed at the
// speed of memory.
template <typename Value>
bool all_the_same(const Value* values, std::int64_t cells) {
  static_assert(sizeof(Value) == sizeof(std::uint32_t));
  std::uint32_t first = 0;
  std::memcpy(&first, values, sizeof first);
  for (std::int64_t block = 0; block < cells; block += kBlock) {
    const std::int64_t end = std::min(cells, block + kBlock);
    std::uint32_t differ = 0;
    for (std::int64_t i = block; i < end; ++i) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, &values[i], sizeof bits);
      differ |= bits ^ first;
    }
    if (differ != 0) return false;
  }
  return true;
}

// The answers of one file, with the file's name in front of every complaint.
class FileAnswers {
 public:
  explicit FileAnswers(std::string_view file) : file_(file) {}

  [[noreturn]] void bad(const std::string& what) const { throw BadModel(std::string(file_) + ": " + what); }

  void integer(std::string_view name, std::int32_t value, const format::Descriptor& field) {
    if (!fits(value, field)) {
      bad(std::string(name) + " is " + std::to_string(value) + ", too wide for its " + describe(field) +
          " field (" + range_of(field) + ")");
    }
    text.reserve_more(1);
    text.integer(value);
  }
  void real(std::string_view name, float value, const format::Descriptor& field) {
    if (!std::isfinite(value)) bad(std::string(name) + " is " + non_finite(value) + finite_only(field));
    text.reserve_more(1);
    text.real(value);
  }
  // A count the loops of the builder run by, within its own field.
  void count(std::string_view name, std::int32_t value, const format::Descriptor& field) {
    if (value < 0) bad(std::string(name) + " is " + std::to_string(value) + ": a count is 0 or more");
    integer(name, value, field);
  }

  // One array or list of `cells` values: the constant's two answers, or
  // "1" and every value. `where(i)` names cell i in a complaint.
  template <typename Value, typename Where>
  void array(std::string_view name, const Value* values, std::int64_t cells, const format::Descriptor& field,
             Where where) {
    text.reserve_more(2);
    if (cells <= 0) {  // no cell to ask: "not all the same" asks nothing more
      text.integer(1);
      return;
    }
    if (all_the_same(values, cells)) {
      check(name, values, 0, field, where);
      text.integer(0);
      put(values[0]);
      return;
    }
    text.integer(1);
    for (std::int64_t block = 0; block < cells; block += kBlock) {
      const std::int64_t end = std::min(cells, block + kBlock);
      text.reserve_more(static_cast<std::size_t>(end - block));
      for (std::int64_t i = block; i < end; ++i) {
        check(name, values, i, field, where);
        put(values[i]);
      }
    }
  }

  AnswerText text;

 private:
  static std::string finite_only(const format::Descriptor& field) {
    return ": a " + describe(field) + " field holds finite values only";
  }

  static std::string non_finite(float value) {
    return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
  }

  template <typename Where>
  void check(std::string_view name, const std::int32_t* values, std::int64_t i, const format::Descriptor& field,
             Where where) const {
    if (!fits(values[i], field)) {
      bad(std::string(name) + where(i) + " is " + std::to_string(values[i]) + ", too wide for its " +
          describe(field) + " field (" + range_of(field) + ")");
    }
  }
  template <typename Where>
  void check(std::string_view name, const float* values, std::int64_t i, const format::Descriptor& field,
             Where where) const {
    if (!std::isfinite(values[i])) {
      bad(std::string(name) + where(i) + " is " + non_finite(values[i]) + finite_only(field));
    }
  }
  void put(std::int32_t value) { text.integer(value); }
  void put(float value) { text.real(value); }

  std::string_view file_;
};

// "[l, r, c] (layer L, row R, column C)" of cell i of a layer array.
auto cell_in(std::int64_t layer, std::int32_t columns) {
  return [=](std::int64_t i) {
    const std::int64_t row = i / columns, column = i % columns;
    return "[" + std::to_string(layer - 1) + ", " + std::to_string(row) + ", " + std::to_string(column) +
           "] (layer " + std::to_string(layer) + ", row " + std::to_string(row + 1) + ", column " +
           std::to_string(column + 1) + ")";
  };
}

// "[i] (what i+1)" of entry i of a list.
auto entry_in(std::string_view what) {
  return [what](std::int64_t i) {
    return "[" + std::to_string(i) + "] (" + std::string(what) + " " + std::to_string(i + 1) + ")";
  };
}

void title(FileAnswers& out, std::string_view name, const std::string& text) {
  if (text.size() > format::kTitleLength) {
    out.bad(std::string(name) + " is " + std::to_string(text.size()) + " bytes long; its record holds " +
            std::to_string(format::kTitleLength));
  }
  // The builder reads a title as one line; a line of Ctrl-Z alone would end
  // the answers.
  if (text.find_first_of("\r\n") != std::string::npos || text == "\x1a") {
    out.bad(std::string(name) + " holds a line end (or is Ctrl-Z alone): a title is one line of text");
  }
  out.text.line(text);
}

// Counts beyond what the builders take: they would refuse them.
void grid_within_limits(const FileAnswers& out, std::int64_t rows, std::int64_t columns) {
  if (rows > 0 && columns > 0 && rows * columns > common::kMaxCellsPerArray) {
    out.bad("a grid of " + std::to_string(rows) + " rows by " + std::to_string(columns) + " columns has " +
            std::to_string(rows * columns) + " cells; the builders take at most " +
            std::to_string(common::kMaxCellsPerArray) + " cells per array");
  }
}

// The answers of a record of two integers ("(2I10)"), each held to its field.
void two_integers(FileAnswers& out, std::string_view format_text, std::pair<std::string_view, std::int32_t> first,
                  std::pair<std::string_view, std::int32_t> second) {
  const format::DescriptorList record(format_text);
  out.integer(first.first, first.second, record[0]);
  out.integer(second.first, second.second, record[1]);
}

}  // namespace

std::string basic_answers(const BasicValues& b) {
  FileAnswers out(format::kBasicFileName);
  title(out, "basic.title_1", b.title_1);
  title(out, "basic.title_2", b.title_2);
  const format::DescriptorList dimensions(format::kDimensionFormat);
  out.count("basic.layers", b.layers, dimensions[0]);
  out.count("basic.rows", b.rows, dimensions[1]);
  out.count("basic.columns", b.columns, dimensions[2]);
  out.count("basic.period_count", b.period_count, dimensions[3]);
  out.integer("basic.time_unit", b.time_unit, dimensions[4]);
  grid_within_limits(out, b.rows, b.columns);

  // Morvek stores a module's unit for the answer 1, and asks only for some slots.
  std::size_t next = 0;
  for (std::size_t slot = 1; slot <= format::kModuleSlots; ++slot) {
    const std::int32_t unit = b.module_units[slot - 1];
    const bool asked = next < format::kModules.size() && format::kModules[next].slot == static_cast<int>(slot);
    if (unit != 0 && !(asked && unit == format::module_unit(slot))) {
      out.bad("basic.module_units[" + std::to_string(slot - 1) + "] is " + std::to_string(unit) + ": slot " +
              std::to_string(slot) + " holds " +
              (asked ? "0 or " + std::to_string(format::module_unit(slot)) + " (" +
                           std::string(format::kModules[next].name) + " not used or used)"
                     : std::string("0 (no module is asked for there)")));
    }
    if (!asked) continue;
    out.text.reserve_more(1);
    out.text.integer(unit != 0 ? 1 : 0);
    ++next;
  }
  two_integers(out, format::kOptionFormat, {"basic.memory_sharing", b.memory_sharing},
               {"basic.save_heads", b.save_heads});

  const std::int64_t plane = std::int64_t{b.rows} * b.columns;
  const format::Descriptor boundary = field_of(format::kBoundaryArray.format_text);
  const format::Descriptor head = field_of(format::kStartingHeadArray.format_text);
  for (std::int64_t layer = 1; layer <= b.layers; ++layer) {
    out.array("basic.ibound", b.ibound + (layer - 1) * plane, plane, boundary, cell_in(layer, b.columns));
  }
  out.real("basic.no_flow_head", b.no_flow_head, field_of(format::kNoFlowHeadFormat));
  for (std::int64_t layer = 1; layer <= b.layers; ++layer) {
    out.array("basic.shead", b.shead + (layer - 1) * plane, plane, head, cell_in(layer, b.columns));
  }
  const format::DescriptorList period(format::kStressPeriodFormat);
  for (std::size_t p = 0; p < b.periods.size(); ++p) {
    const std::string name = "basic.periods[" + std::to_string(p) + "]";
    out.real(name + "[\"length\"]", b.periods[p].length, period[0]);
    out.integer(name + "[\"steps\"]", b.periods[p].steps, period[1]);
    out.real(name + "[\"multiplier\"]", b.periods[p].multiplier, period[2]);
  }
  return out.text.take();
}

std::string flow_answers(const FlowValues& f) {
  FileAnswers out(format::kFlowFileName);
  two_integers(out, format::kFlowHeaderFormat, {"flow.simulation_type", f.simulation_type},
               {"flow.cell_by_cell_code", f.cell_by_cell_code});
  out.count("flow.layers", f.layers, kAnyCount);
  out.count("flow.rows", f.rows, kAnyCount);
  out.count("flow.columns", f.columns, kAnyCount);
  for (const auto& [name, count] : {std::pair{"layers", f.layers}, {"rows", f.rows}, {"columns", f.columns}}) {
    if (count > common::kMaxCellsPerArray) {
      out.bad(std::to_string(count) + " " + name + " exceed the builders' limit of " +
              std::to_string(common::kMaxCellsPerArray));
    }
  }
  grid_within_limits(out, f.rows, f.columns);

  const format::Descriptor type_code = field_of(format::kLayerTypeFormat);
  const format::Descriptor list_value = field_of(format::kListValuesFormat);  // a factor, a width
  for (std::int64_t layer = 1; layer <= f.layers; ++layer) {
    const auto i = static_cast<std::size_t>(layer - 1);
    const auto name = [&](std::string_view list) { return std::string(list) + entry_in("layer")(layer - 1); };
    if (!fits(f.layer_types[i], type_code)) out.integer(name("flow.layer_types"), f.layer_types[i], type_code);
    if (!std::isfinite(f.anisotropy[i])) out.real(name("flow.anisotropy"), f.anisotropy[i], list_value);
    out.text.reserve_more(2);
    out.text.integer(f.layer_types[i]);
    out.text.real(f.anisotropy[i]);
  }
  out.array("flow.delr", f.delr.data(), f.columns, list_value, entry_in("column"));
  out.array("flow.delc", f.delc.data(), f.rows, list_value, entry_in("row"));

  const std::int64_t plane = std::int64_t{f.rows} * f.columns;
  for (std::int64_t layer = 1; layer <= f.layers; ++layer) {
    const std::int32_t type = f.layer_types[static_cast<std::size_t>(layer - 1)];
    for (std::size_t a = 0; a < format::kLayerArrays.size(); ++a) {
      const format::LayerArray& array = format::kLayerArrays[a];
      if (!format::is_selected(array.selection, f.simulation_type, type, layer, f.layers)) continue;
      // "HYDCON-" is flow.hydcon.
      std::string name = "flow.";
      for (char c : array.entry.label) {
        if (c != '-') name += static_cast<char>(c - 'A' + 'a');
      }
      if (f.arrays[a] == nullptr) {
        out.bad("layer " + std::to_string(layer) + " (type code " + std::to_string(type) + ", " +
                (f.simulation_type == 0 ? "transient" : "steady state") + ") holds " +
                std::string(array.entry.label) + ", but " + name + " is None");
      }
      out.array(name, f.arrays[a] + (layer - 1) * plane, plane, field_of(array.entry.format_text),
                cell_in(layer, f.columns));
    }
  }
  return out.text.take();
}

std::string drain_answers(const DrainValues& d) {
  FileAnswers out(format::kDrainFileName);
  two_integers(out, format::kDrainHeaderFormat, {"drains.max_drains", d.max_drains},
               {"drains.flow_code", d.flow_code});
  out.count("the number of drains.periods", static_cast<std::int32_t>(d.periods.size()), kAnyCount);
  const format::Descriptor use_code = field_of(format::kUseCodeFormat);
  const format::DescriptorList drain(format::kDrainFormat);
  for (std::size_t p = 0; p < d.periods.size(); ++p) {
    const std::string name = "drains.periods[" + std::to_string(p) + "]";
    const DrainValues::Period& period = d.periods[p];
    if (period.reuse_code < 0) {
      out.integer(name, period.reuse_code, use_code);
      continue;
    }
    if (period.drains.size() > static_cast<std::size_t>(INT32_MAX)) {
      out.bad(name + " holds more drains than a use code counts");
    }
    out.integer("the number of " + name, static_cast<std::int32_t>(period.drains.size()), use_code);
    for (std::size_t i = 0; i < period.drains.size(); ++i) {
      const Drain& one = period.drains[i];
      if (i % kBlock == 0) out.text.reserve_more(5 * std::min<std::size_t>(kBlock, period.drains.size() - i));
      const std::string at = name + "[" + std::to_string(i) + "]";
      // (The names are made only for a complaint: the common case is one test each.)
      if (!fits(one.layer, drain[0]) || !fits(one.row, drain[1]) || !fits(one.column, drain[2]) ||
          !std::isfinite(one.elevation) || !std::isfinite(one.conductance)) {
        out.integer(at + "[\"layer\"]", one.layer, drain[0]);
        out.integer(at + "[\"row\"]", one.row, drain[1]);
        out.integer(at + "[\"column\"]", one.column, drain[2]);
        out.real(at + "[\"elevation\"]", one.elevation, drain[3]);
        out.real(at + "[\"conductance\"]", one.conductance, drain[4]);
      }
      out.text.integer(one.layer);
      out.text.integer(one.row);
      out.text.integer(one.column);
      out.text.real(one.elevation);
      out.text.real(one.conductance);
    }
  }
  return out.text.take();
}

}  // namespace gwbuilders
