// FOR013 for the report: the drain header, and per stress period its use
// code and the list of drains active in it (a reused list is not copied).
#include <limits>

#include "report/passes.h"

namespace report {

using inspect::Record;
using inspect::Section;

void read_drains(const std::string& path, DrainFacts& facts) {
  try {
    inspect::InputFile file(path);
    inspect::DrainFileReader reader(file.fd());
    Record record;
    std::int64_t list = -1;  // the drains active in the period being read
    while (reader.next(record)) {
      const auto& f = record.fields;
      switch (record.section) {
        case Section::DrainHeader:
          take_header_codes(record, facts.header_read, facts.max_drains, facts.flow_code);
          break;
        case Section::UseCode: {
          ++facts.periods_read;
          // A use code too wide for its field is followed by no drains; the
          // period shows it as it stands, with no list of its own or reused.
          const bool readable = f[0].is_value();
          const std::int32_t use = readable ? f[0].integer : -1;
          if (record.period > PageBudget::kMostDrainPeriods) {
            list = -1;  // later periods are counted only
          } else if (use >= 0) {
            list = static_cast<std::int64_t>(facts.lists.size());
            facts.lists.push_back({record.period, use, static_cast<std::int64_t>(facts.drains.size()), 0});
          }
          if (record.period <= PageBudget::kMostDrainPeriods) {
            facts.periods.push_back(readable ? DrainFacts::Period{use, list, {}}
                                             : DrainFacts::Period{0, -1, shown_value(f[0])});
          }
          break;
        }
        case Section::Drain: {
          ++facts.drains_read;
          if (list >= 0 && facts.drains_read <= PageBudget::kMostDrains) {
            // A place that cannot be read is layer 0, which no map shows.
            const bool placed = f[0].is_value() && f[1].is_value() && f[2].is_value();
            const float unknown = std::numeric_limits<float>::quiet_NaN();
            DrainRecord drain;
            drain.layer = placed ? f[0].integer : 0;
            drain.row = f[1].integer;
            drain.column = f[2].integer;
            drain.elevation = f[3].is_value() ? f[3].real : unknown;
            drain.conductance = f[4].is_value() ? f[4].real : unknown;
            facts.drains.push_back(drain);
            ++facts.lists[static_cast<std::size_t>(list)].count;
          }
          break;
        }
        default: break;
      }
    }
    if (reader.ended_early()) facts.file.problem = "it ends before " + reader.expected();
  } catch (const inspect::ReadError& e) {
    facts.file.problem = problem_text(e);
  }
}

}  // namespace report
