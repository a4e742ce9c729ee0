// The three files' grammars, one table: a small file in, the records the
// reader hands on (one letter per record, in file order) or the line and
// column of the error out. The valid files are the ones the builders'
// sessions in the test support write, derived there by hand; each faulty
// file is one of them with one field changed or cut short.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/basic_file_reader.h"
#include "inspect/drain_file_reader.h"
#include "inspect/flow_file_reader.h"
#include "inspect/read_error.h"
#include "inspect/record.h"
#include "tests/support/built_programs.h"
#include "tests/support/program_runner.h"

namespace {

using inspect::Section;

char letter(Section section) {
  switch (section) {
    case Section::Title: return 'T';
    case Section::Dimensions: return 'D';
    case Section::ModuleUnits: return 'M';
    case Section::Options: return 'O';
    case Section::NoFlowHead: return 'N';
    case Section::StressPeriod: return 'P';
    case Section::FlowHeader: return 'F';
    case Section::LayerTypes: return 'L';
    case Section::ArrayControl: return 'C';
    case Section::ArrayValues: return 'V';
    case Section::DrainHeader: return 'H';
    case Section::UseCode: return 'U';
    case Section::Drain: return 'R';
  }
  return '?';
}

// The records' letters, then " ends early" when the file ended before its
// last record, or " error L:C" for a read error.
template <typename Reader>
std::string read_all(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_GE(fd, 0) << path;
  std::string out;
  try {
    Reader reader(fd);
    inspect::Record record;
    std::int64_t line = 0;
    while (reader.next(record)) {
      out += letter(record.section);
      // One record a line, each line once.
      EXPECT_EQ(record.line.number, ++line) << out;
    }
    if (reader.ended_early()) out += " ends early";
  } catch (const inspect::ReadError& e) {
    out += " error " + std::to_string(e.line()) + ":" + std::to_string(e.column());
    EXPECT_EQ(std::string(e.what()).rfind("expected ", 0), 0u) << e.what();
  }
  ::close(fd);
  return out;
}

enum class File { Basic, Flow, Drain };

struct GrammarCase {
  const char* label;
  File file;
  std::string text;
  std::string expected;
};

// Where line `number` (from 1) of a CR LF text starts.
std::size_t line_start(const std::string& text, int number) {
  std::size_t start = 0;
  for (int i = 1; i < number; ++i) start = text.find("\r\n", start) + 2;
  return start;
}
std::string line_of(const std::string& text, int number) {
  const std::size_t start = line_start(text, number);
  return text.substr(start, text.find("\r\n", start) - start);
}
// The text with line `number` replaced by `line`.
std::string with_line(const std::string& text, int number, const std::string& line) {
  const std::size_t start = line_start(text, number);
  return text.substr(0, start) + line + text.substr(text.find("\r\n", start));
}
// `line` with blanks after it up to `length` bytes.
std::string padded(std::string line, std::size_t length) { return line.append(length - line.size(), ' '); }
// The text up to line `number`, that line included.
std::string through_line(const std::string& text, int number) { return text.substr(0, line_start(text, number + 1)); }

TEST(FileGrammar, RecordsOrTheErrorsPlace) {
  const std::string basic = testing_support::morvek().session_file;
  const std::string flow = testing_support::cindral().session_file;
  const std::string drain = testing_support::quillet().session_file;
  // FOR001: two titles, dimensions, module units, options, the boundary
  // array (control and two rows), the no-flow head, the starting heads
  // (control and two rows), two stress periods.
  const std::string basic_records = "TTDMOCVVNCVVPP";
  // FOR011: header, layer types, the TRPY-, DELR- and DELC- lists (control
  // and one line each), then nine arrays (four of layer 1, five of layer 2)
  // of two rows.
  std::string flow_records = "FLCVCVCV";
  for (int i = 0; i < 9; ++i) flow_records += "CVV";
  // FOR013: header, two drains, a period reusing them, one of one drain.
  const std::string drain_records = "HURRUUR";

  std::string basic_lf;
  for (char c : basic) {
    if (c != '\r') basic_lf += c;
  }
  std::string dimensions = line_of(basic, 3);
  dimensions.replace(30, 10, "  95.5    ");  // the stress periods, columns 31 to 40
  std::string layer_types = line_of(flow, 2);
  layer_types.replace(2, 2, " x");  // the second layer's type, columns 3 and 4
  // The DELR- list's control record (line 5): its label in columns 51 to
  // 60, its layer number, 0 for a list, from column 61.
  std::string delr_labelled_delc = line_of(flow, 5);
  delr_labelled_delc.replace(delr_labelled_delc.find("DELR-"), 5, "DELC-");
  std::string delr_of_layer_1 = line_of(flow, 5);
  delr_of_layer_1.back() = '1';
  std::string header = line_of(drain, 1);
  header.replace(8, 2, "2x");  // the maximum number of drains, columns 1 to 10
  std::string use_code = line_of(drain, 5);
  use_code.replace(9, 1, "x");  // the second period's use code, -1

  const std::vector<GrammarCase> cases = {
      {"FOR001 whole", File::Basic, basic, basic_records},
      {"FOR001 with LF line ends", File::Basic, basic_lf, basic_records},
      {"FOR001 stress periods not a number", File::Basic, with_line(basic, 3, dimensions), "TT error 3:31"},
      {"FOR001 cut after the starting heads", File::Basic, through_line(basic, 12), "TTDMOCVVNCVV ends early"},
      {"FOR001 empty", File::Basic, "", " ends early"},
      // A line is read up to 4096 bytes, its CR counted; what lies past a
      // record's columns is not part of it. One byte more is refused where
      // the line starts.
      {"FOR001 a title line of 4096 bytes", File::Basic, with_line(basic, 1, padded(line_of(basic, 1), 4095)),
       basic_records},
      {"FOR001 a title line of 4097 bytes", File::Basic, with_line(basic, 1, padded(line_of(basic, 1), 4096)),
       " error 1:1"},
      {"FOR011 whole", File::Flow, flow, flow_records},
      {"FOR011 layer type not a number", File::Flow, with_line(flow, 2, layer_types), "F error 2:3"},
      {"FOR011 the DELR- list's control record labelled DELC-", File::Flow, with_line(flow, 5, delr_labelled_delc),
       "FLCV error 5:51"},
      {"FOR011 the DELR- list's control record for layer 1", File::Flow, with_line(flow, 5, delr_of_layer_1),
       "FLCV error 5:61"},
      {"FOR011 cut inside the last array", File::Flow, through_line(flow, 34),
       flow_records.substr(0, 34) + " ends early"},
      {"FOR013 whole", File::Drain, drain, drain_records},
      {"FOR013 maximum drains not a number", File::Drain, with_line(drain, 1, header), " error 1:1"},
      {"FOR013 use code not a number", File::Drain, with_line(drain, 5, use_code), "HURR error 5:1"},
      // A line that ends early reads on as blanks: the last drain cut after
      // its elevation is still a drain record (the check tells what is missing).
      {"FOR013 a drain's line cut after its elevation", File::Drain,
       with_line(drain, 7, line_of(drain, 7).substr(0, 40)), drain_records},
      {"FOR013 cut inside a period's drains", File::Drain, through_line(drain, 3), "HUR ends early"},
  };
  for (const auto& c : cases) {
    testing_support::Scratch dir;
    dir.write("FILE", c.text);
    std::string got;
    switch (c.file) {
      case File::Basic: got = read_all<inspect::BasicFileReader>(dir.file("FILE")); break;
      case File::Flow: got = read_all<inspect::FlowFileReader>(dir.file("FILE")); break;
      case File::Drain: got = read_all<inspect::DrainFileReader>(dir.file("FILE")); break;
    }
    EXPECT_EQ(got, c.expected) << c.label;
  }
}

}  // namespace
