// The answers of Cindral from FOR011. Cindral asks the grid counts before
// the lists that show them, and each layer's type code and anisotropy
// factor together although the file holds all codes before all factors:
// the file is first read ahead to its first layer array for the counts,
// and the factors are read by a second reader beside the codes.
#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <string>

#include "answers/array_answers.h"
#include "answers/builder_records.h"
#include "answers/file_answers.h"
#include "answers/records_read.h"
#include "format/flow_file.h"
#include "inspect/flow_file_reader.h"

namespace answers {
namespace {

using inspect::FlowFileReader;
using inspect::Record;

using format::kFlowUnit;
const format::ArrayEntry& kTrpy = format::kAnisotropyList;
const format::ArrayEntry& kDelr = format::kRowWidthList;
const format::ArrayEntry& kDelc = format::kColumnWidthList;

// "the TRPY- list"
std::string list_name(const format::ArrayEntry& list) { return "the " + std::string(list.label) + " list"; }

// What reading ahead to the first layer array tells.
struct Lookahead {
  inspect::GridCounts own{-1, -1, -1};  // -1: the file ends before the list that shows it
  std::optional<FlowFileReader::Checkpoint> at_factors;  // before the TRPY- list
  std::int64_t records = 0;             // read before the first layer array
  std::string_view list_at_end;         // the list in which the file ends, if it does
  std::int64_t values_at_end = 0;       // of that list
  bool list_ends_short = false;         // its last line has room for more: it is complete
};

Lookahead read_ahead(int fd) {
  FlowFileReader reader(fd);
  Lookahead ahead;
  Record record;
  for (;;) {
    std::optional<FlowFileReader::Checkpoint> before;
    if (!ahead.at_factors) before = reader.checkpoint();
    // (The reader takes a DELC- list that ends the file as the whole list,
    // which it is only where no layer array follows: so it is named here.)
    const std::string_view list_before = reader.list_being_read();
    if (!reader.next(record)) {
      ahead.list_at_end = reader.ended_early() ? list_before : reader.list_being_read();
      ahead.values_at_end = reader.list_length();
      ahead.list_ends_short = reader.list_line_short();
      break;
    }
    ++ahead.records;
    if (record.section != inspect::Section::ArrayControl) continue;
    if (record.array->label_text == kTrpy.label) ahead.at_factors = before;
    if (!record.array->is_list) break;
  }
  ahead.own = reader.grid();
  if (ahead.list_at_end == kDelc.label && !ahead.list_ends_short) ahead.own.rows = -1;
  return ahead;
}

// Each count from the file's own lists where it has them, otherwise from
// the FOR001 beside it; says which on standard error.
// A count the file does not show (it ends before the list) and FOR001 does
// not give either: when records follow the count's question all the same,
// a stand-in rebuilds them (the values of the list read so far, or 0), with
// a warning; otherwise the answers stop at that question.
inspect::GridCounts choose_counts(AnswerSession& session, const Lookahead& ahead, const Beside& found) {
  const std::optional<BasicCounts>& beside = found.counts;
  struct Count {
    const char* name;
    std::string_view list;
    std::int64_t own, basic;
    std::int64_t* chosen;
  };
  const inspect::GridCounts& own = ahead.own;
  inspect::GridCounts chosen{-1, -1, -1};
  const inspect::GridCounts basic = beside ? beside->grid : inspect::GridCounts{-1, -1, -1};
  Count counts[] = {{"layers", "LAYER TYPES", own.layers, basic.layers, &chosen.layers},
                    {"rows", kDelc.label, own.rows, basic.rows, &chosen.rows},
                    {"columns", kDelr.label, own.columns, basic.columns, &chosen.columns}};
  std::string from_file, from_basic;
  for (Count& c : counts) {
    // A file that ends in a list still shows its count where the list's
    // last line is short: every line but a list's last is full. And a
    // FOR001 that gives fewer than the list holds cannot be right.
    std::int64_t too_few = -1;
    if (c.own < 0 && ahead.list_at_end == c.list) {
      if (ahead.list_ends_short) {
        c.own = ahead.values_at_end;
      } else if (c.basic >= 0 && c.basic < ahead.values_at_end) {
        too_few = c.basic;
        c.basic = -1;
      }
    }
    *c.chosen = c.own >= 0 ? c.own : c.basic;
    if (*c.chosen < 0 && ahead.records > 1) {
      *c.chosen = ahead.list_at_end == c.list ? ahead.values_at_end : 0;
      const std::string beside_words =
          too_few >= 0 ? "FOR001 beside it gives " + std::to_string(too_few) + ", fewer than the list holds"
                       : std::string("no FOR001 beside it gives it");
      session.warn_file(std::string("the number of ") + c.name + " is not in this file, which ends before " +
                        (c.list == "LAYER TYPES" ? "its " + std::string(kTrpy.label) + " list"
                                                                   : "the end of its " + std::string(c.list) + " list") +
                        ", and " + beside_words + ": answered " + std::to_string(*c.chosen) +
                        ", which writes the same records; put the intended number there before going on");
      continue;
    }
    std::string& list = c.own >= 0 ? from_file : from_basic;
    if (*c.chosen >= 0) {
      const std::string_view noun = *c.chosen == 1 ? std::string_view(c.name, std::strlen(c.name) - 1) : c.name;
      list += (list.empty() ? "" : ", ") + std::to_string(*c.chosen) + " " + std::string(noun);
    }
    if (c.own >= 0 && beside && c.basic != c.own) {
      session.note(std::string("FOR001 beside it gives ") + std::to_string(c.basic) + " " + c.name +
                   ", but the " + (std::string_view(c.list) == "LAYER TYPES" ? std::string("layer type record")
                                                                              : std::string(c.list) + " list") +
                   " here holds " + std::to_string(c.own) + ": the answers follow this file");
    }
  }
  std::string text = "grid counts";
  if (!from_file.empty()) text += " from this file's own records (" + from_file + ")";
  if (!from_basic.empty()) text += std::string(from_file.empty() ? "" : " and") + " from FOR001 beside it (" + from_basic + ")";
  if (from_file.empty() && from_basic.empty()) text += ": none known (the file ends before its lists; " + found.none_because + ")";
  else if (!beside) text += "; " + found.none_because;
  session.note(text);
  return chosen;
}

void expect_list_control(AnswerSession& session, const Record& record, const format::ArrayEntry& list) {
  session.expect_record(record.line, real_array_control(list.locator, list.format_text, list.print_code, list.label, 0),
                        "the array-control record of " + list_name(list));
}

// Layer k's type code and anisotropy factor, k = 1 upwards: the codes from
// `reader`, the factors from `factors`, which ends up past the TRPY- list.
void answer_layers(AnswerSession& session, FlowFileReader& reader, FlowFileReader* factors,
                   std::int64_t layers) {
  static constexpr std::int64_t kCodesPerLine = 40;
  static constexpr std::int64_t kFactorsPerLine = 10;
  Record codes, values;
  std::size_t next_code = 0, next_factor = 0;
  codes.fields = {};
  for (std::int64_t layer = 1; layer <= layers; ++layer) {
    const std::string name = "layer " + std::to_string(layer);
    if (next_code == codes.fields.size()) {
      if (!reader.next(codes)) throw FileEndsEarly{"the type code of " + name};
      const std::int64_t wanted = std::min(kCodesPerLine, layers - layer + 1);
      if (codes.section != inspect::Section::LayerTypes ||
          static_cast<std::int64_t>(codes.fields.size()) != wanted) {
        throw inspect::ReadError(codes.line.number, 1,
                                 "expected " + std::to_string(wanted) + " layer type codes on this line, found " +
                                     (codes.section == inspect::Section::LayerTypes
                                          ? std::to_string(codes.fields.size())
                                          : std::string("another record")));
      }
      session.expect_end(codes.line, 2 * codes.fields.size(), "a line of layer type codes");
      // Cindral writes the codes and the TRPY- list together, once the
      // last layer's factor is in.
      if (layer == 1) session.hold(codes.line.number, "the layer type codes and " + list_name(kTrpy));
      next_code = 0;
    }
    session.answer(codes.line, codes.fields[next_code++], "a layer type code")
        .note(name).note(": type code (0 confined, 1 unconfined, 2 and 3 confined/unconfined)").end();

    if (factors == nullptr) throw FileEndsEarly{"the anisotropy factor of " + name};
    if (layer == 1) {
      if (!factors->next(values)) throw FileEndsEarly{"the anisotropy factor of " + name};
      expect_list_control(session, values, kTrpy);
      values.fields = {};
    }
    if (next_factor == values.fields.size()) {
      if (!factors->next(values)) throw FileEndsEarly{"the anisotropy factor of " + name};
      const std::int64_t wanted = std::min(kFactorsPerLine, layers - layer + 1);
      if (values.section != inspect::Section::ArrayValues ||
          static_cast<std::int64_t>(values.fields.size()) != wanted) {
        throw inspect::ReadError(values.line.number, 1,
                                 "expected " + std::to_string(wanted) +
                                     " anisotropy factors on this line of " + list_name(kTrpy));
      }
      session.expect_end(values.line, 10 * values.fields.size(), [] { return "a line of " + list_name(kTrpy); });
      next_factor = 0;
    }
    session.answer(values.line, values.fields[next_factor++], "an anisotropy factor")
        .note(name).note(": anisotropy factor").end();
  }
  session.complete();
}

}  // namespace

void answer_flow_file(AnswerSession& session, int fd, const Beside& beside) {
  RecordsRead<FlowFileReader> file(fd);
  FlowFileReader& reader = file.reader;
  Record& record = file.record;
  AnswerWriter& out = session.out();

  file.answer_two_fields(session, {"the simulation type", "simulation type (0 = transient, other = steady state)"},
                         {"the cell-by-cell output code", "cell-by-cell output code"}, "the header record");

  const Lookahead ahead = read_ahead(fd);
  const inspect::GridCounts grid = choose_counts(session, ahead, beside);
  for (auto [count, name] : {std::pair{grid.layers, "layers"}, std::pair{grid.rows, "rows"},
                             std::pair{grid.columns, "columns"}}) {
    if (count < 0) throw FileEndsEarly{std::string("the number of ") + name};
    out.answer(std::to_string(count)).note(name).end();
  }

  if (grid.layers > 0) {
    // Without a TRPY- list the file ends among the codes: the answers stop
    // at the first factor.
    FlowFileReader factors(fd);
    if (ahead.at_factors) factors.resume(*ahead.at_factors);
    answer_layers(session, reader, ahead.at_factors ? &factors : nullptr, grid.layers);
    reader = std::move(factors);
  } else {
    file.need("the anisotropy factors");
    session.expect_end(record.line, 0, "the empty layer type record");
    file.need("the anisotropy factors");
    expect_list_control(session, record, kTrpy);
    file.need("the cell widths along rows");
    session.expect_end(record.line, 0, "the empty " + std::string(kTrpy.label) + " list");
  }

  // Cindral writes a list's array-control record with its values, once
  // the last of them is in.
  file.need("cell widths along rows: all values the same?");
  session.hold(record.line.number, list_name(kDelr));
  expect_list_control(session, record, kDelr);
  answer_list(session, reader, "cell width along rows", "cell widths along rows", "column", grid.columns);
  session.complete();
  file.need("cell widths along columns: all values the same?");
  session.hold(record.line.number, list_name(kDelc));
  expect_list_control(session, record, kDelc);
  answer_list(session, reader, "cell width along columns", "cell widths along columns", "row", grid.rows);
  session.complete();

  while (reader.next(record)) {
    const inspect::ArrayHeader& array = *record.array;
    session.expect_record(record.line,
                          real_array_control(kFlowUnit, format::kRealValuesFormat, 0, array.label_text, array.layer_number),
                          "the array-control record of " + inspect::array_name(array.label_text, array.layer_number));
    answer_array(session, reader, array_subject(array.label_text), array.layer_number);
  }
  if (reader.ended_early()) {
    throw FileEndsEarly{std::string(array_subject(reader.coming_label())) + ", layer " +
                        std::to_string(reader.coming_layer()) + ": all values the same?"};
  }
}

}  // namespace answers
