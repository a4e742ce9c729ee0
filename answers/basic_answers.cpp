// The answers of Morvek from FOR001: titles, counts, time unit, modules and
// options from the run header, then the boundary arrays, the no-flow head,
// the starting-head arrays and the stress periods.
#include <array>
#include <string>

#include "answers/array_answers.h"
#include "inspect/basic_file_reader.h"
#include "answers/builder_records.h"
#include "answers/file_answers.h"
#include "answers/records_read.h"
#include "format/basic_file.h"

namespace answers {
namespace {

using inspect::Record;

// The modules Morvek asks for, in slot order; an answer of 1 stores the
// module's unit.
using format::kModules;
constexpr int kSlots = static_cast<int>(format::kModuleSlots);

// The array-control record Morvek writes ahead of `array` of `layer`.
std::string array_control(const format::ArrayEntry& array, std::int64_t layer) {
  return array.kind == format::ValueKind::Integer
             ? integer_array_control(array.locator, array.format_text, array.print_code, array.label, layer)
             : real_array_control(array.locator, array.format_text, array.print_code, array.label, layer);
}

void answer_modules(AnswerSession& session, const Record& record) {
  std::size_t next_module = 0;
  for (int slot = 1; slot <= kSlots; ++slot) {
    const inspect::Field& field = record.fields[static_cast<std::size_t>(slot - 1)];
    const bool asked = next_module < kModules.size() && kModules[next_module].slot == slot;
    const std::int32_t unit = format::module_unit(static_cast<std::size_t>(slot));
    const bool used = field.is_value() && field.integer == unit;
    FieldAnswer check;
    if (!field.is_value() || !format::answer_for_field(field.text, field.width, field.type, check) ||
        (field.integer != 0 && !(asked && used))) {
      const std::string what = asked ? "0 or " + std::to_string(unit) + " (" +
                                           std::string(kModules[next_module].short_name) + " not used or used)"
                                     : "0 (slot " + std::to_string(slot) + " is never asked)";
      throw inspect::ReadError(record.line.number, field.column,
                               "expected " + what + ", found " + inspect::quoted(field.text));
    }
    if (!asked) continue;
    session.out().answer(used ? "1" : "0").note(kModules[next_module].short_name).note(" (1 = used)").end();
    ++next_module;
  }
  session.expect_end(record.line, 3 * kSlots, "the module unit table");
}

}  // namespace

void answer_basic_file(AnswerSession& session, int fd) {
  RecordsRead<inspect::BasicFileReader> file(fd);
  inspect::BasicFileReader& reader = file.reader;
  Record& record = file.record;
  AnswerWriter& out = session.out();

  // Morvek writes the first five records together, once the options are in.
  for (const char* question : {"the first title line", "the second title line"}) {
    file.need(question);
    if (record.line.number == 1) session.hold(1, "the run header (titles, counts, module table and options)");
    out.text_line(title_answer(record.line, record.fields[0]));
    session.expect_end(record.line, 80, "the title record");
  }

  file.need("the number of layers");
  static constexpr std::array<std::string_view, 5> kCounts = {
      "layers", "rows", "columns", "stress periods",
      "time unit (0 undefined, 1 seconds, 2 minutes, 3 hours, 4 days, 5 years)"};
  static constexpr std::array<std::string_view, 5> kWhat = {
      "the number of layers", "the number of rows", "the number of columns",
      "the number of stress periods", "the time unit"};
  for (std::size_t i = 0; i < kCounts.size(); ++i) {
    session.answer(record.line, record.fields[i], kWhat[i]).note(kCounts[i]).end();
  }
  session.expect_end(record.line, 50, "the dimension record");
  const inspect::GridCounts grid = reader.grid();
  const std::int64_t periods = reader.period_count();

  file.need("whether " + std::string(kModules[0].short_name) + " is used");
  answer_modules(session, record);

  file.answer_two_fields(session, {"the memory sharing option", "memory sharing option (0 = yes, 1 = no)"},
                         {"the save starting heads option", "save starting heads (0 = no, 1 = yes)"},
                         "the option record");
  session.complete();

  for (std::int64_t layer = 1; layer <= grid.layers; ++layer) {
    file.need("boundary, layer " + std::to_string(layer) + ": all values the same?");
    session.expect_record(record.line, array_control(format::kBoundaryArray, layer),
                          "the array-control record of " + inspect::array_name(format::kBoundaryArray.label, layer));
    answer_array(session, reader, "boundary", layer);
  }

  file.need("the head at no-flow cells");
  session.answer(record.line, record.fields[0], "the head at no-flow cells")
      .note("head at no-flow cells").end();
  session.expect_end(record.line, 10, "the no-flow head record");

  for (std::int64_t layer = 1; layer <= grid.layers; ++layer) {
    file.need("starting head, layer " + std::to_string(layer) + ": all values the same?");
    session.expect_record(record.line, array_control(format::kStartingHeadArray, layer),
                          "the array-control record of " + inspect::array_name(format::kStartingHeadArray.label, layer));
    answer_array(session, reader, "starting head", layer);
  }

  for (std::int64_t period = 1; period <= periods; ++period) {
    const std::string name = "stress period " + std::to_string(period);
    file.need("the length of " + name);
    session.answer(record.line, record.fields[0], "the period length").note(name).note(": length").end();
    session.answer(record.line, record.fields[1], "the number of time steps")
        .note(name).note(": time steps").end();
    session.answer(record.line, record.fields[2], "the time step multiplier")
        .note(name).note(": time step multiplier").end();
    session.expect_end(record.line, 30, "the stress period record");
  }
  file.expect_end_after_last_period();
}

}  // namespace answers
