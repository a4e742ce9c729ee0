// The answers of Quillet from FOR013: the drain header, the number of
// stress periods (which the file does not hold: the FOR001 beside it gives
// it, or the file's own periods are counted), then each period's use code
// and drains.
#include <string>

#include "inspect/drain_file_reader.h"
#include "answers/file_answers.h"
#include "answers/records_read.h"

namespace answers {
namespace {

using inspect::DrainFileReader;
using inspect::Record;

// The stress periods the file holds (the last one perhaps cut short).
std::int64_t count_periods(int fd) {
  DrainFileReader reader(fd);
  reader.set_drain_fields_read(false);
  Record record;
  while (reader.next(record)) {
  }
  return reader.periods_read();
}

std::int64_t choose_period_count(AnswerSession& session, std::int64_t own, const Beside& found) {
  const std::optional<BasicCounts>& beside = found.counts;
  if (!beside) {
    session.note("the number of stress periods, " + std::to_string(own) + ", is counted in this file; " +
                 found.none_because);
    return own;
  }
  if (beside->periods < own) {
    session.note("FOR001 beside it gives " + std::to_string(beside->periods) +
                 " stress periods, but this file holds " + std::to_string(own) +
                 ": the answers follow this file");
    return own;
  }
  session.note("the number of stress periods, " + std::to_string(beside->periods) +
               ", is taken from FOR001 beside it (this file holds " + std::to_string(own) + ")");
  return beside->periods;
}

}  // namespace

void answer_drain_file(AnswerSession& session, int fd, const Beside& beside) {
  RecordsRead<DrainFileReader> file(fd);
  file.answer_two_fields(session, {"the maximum number of drains", "maximum number of drains"},
                         {"the flow term output code", "flow term output code"}, "the drain header record");

  const std::int64_t periods = choose_period_count(session, count_periods(fd), beside);
  session.out().answer(std::to_string(periods)).note("stress periods").end();

  static constexpr std::string_view kDrainFields[] = {": layer", ": row", ": column", ": elevation",
                                                      ": conductance"};
  static constexpr std::string_view kWhat[] = {"the drain's layer", "the drain's row", "the drain's column",
                                                "the drain's elevation", "the drain's conductance"};
  for (std::int64_t period = 1; period <= periods; ++period) {
    const std::string name = "stress period " + std::to_string(period);
    const Record& use_code = file.need("the use code of " + name);
    const inspect::Field& use = use_code.fields[0];
    session.answer(use_code.line, use, "the use code")
        .note(name).note(": use code (negative: the previous drains again; else the number of drains)").end();
    session.expect_end(use_code.line, 10, "the use code record");
    const std::int64_t drains = use.is_value() ? use.integer : -1;
    std::string drain_name;  // "stress period 1, drain 7", made once a drain
    for (std::int64_t drain = 1; drain <= drains; ++drain) {
      drain_name.assign(name).append(", drain ").append(std::to_string(drain));
      const Record& record = file.need([&] { return "the layer of " + drain_name; });
      for (std::size_t i = 0; i < 5; ++i) {
        session.answer(record.line, record.fields[i], kWhat[i]).note(drain_name).note(kDrainFields[i]).end();
      }
      session.expect_end(record.line, 50, "the drain record");
    }
  }
  file.expect_end_after_last_period();
}

}  // namespace answers
