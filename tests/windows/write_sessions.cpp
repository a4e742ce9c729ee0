// Writes generated answer files for the comparison of the Windows programs
// with the Linux ones (compare_under_wine.sh):
//
//   write_sessions FOLDER COUNT
//
// FOLDER/<program>-<n>.txt for n = 1..COUNT and each builder, and
// FOLDER/sessions.txt listing "<program> <file>" a line. The sessions vary
// their line ends (LF, CR LF, CR CR LF), and every other one has an answer
// replaced by one that ends the run with a run-time error, so that reports,
// exit statuses and files cut short are compared too.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/session_generator.h"

namespace {

// Answers that end a run with a run-time error, one of each kind of report.
const char* const kFailingAnswers[] = {
    "1.5x",        // F6101 or F6103
    "99999999999", // F6100 (or a real)
    "0*7",         // F6502
    "2*3*4",       // F6503
    "'quoted'",    // F6504
    "37#1",        // F6303
    "#1#2",        // F6302
    "1e400",       // F6102 (or F6101)
    "\xEF\xBB\xBF\x35",  // a byte-order mark and 5: F6101 or F6103, naming the byte
    "\x1A",        // a line holding only Ctrl-Z: the end of input
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Session n ends in LF, CR LF or CR CR LF by n % 3; every other session has
// one answer after the first two replaced by the next of kFailingAnswers.
std::string varied(const std::string& session, std::uint32_t n, std::uint32_t& failing) {
  std::vector<std::string> lines = lines_of(session);
  if (n % 2 == 0 && lines.size() > 2) {
    const std::size_t at = 2 + (n * 7919u) % (lines.size() - 2);
    lines[at] = kFailingAnswers[failing++ % std::size(kFailingAnswers)];
  }
  static const char* const kLineEnds[] = {"\n", "\r\n", "\r\r\n"};
  const std::string line_end = kLineEnds[n % 3];
  std::string text;
  for (const std::string& line : lines) text += line + line_end;
  return text;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::cerr << "usage: write_sessions FOLDER COUNT\n";
    return 2;
  }
  const std::string folder = argv[1];
  const auto count = static_cast<std::uint32_t>(std::atoi(argv[2]));
  struct Generator {
    const char* program;
    std::string (*session)(std::uint32_t);
  };
  const Generator generators[] = {{"Morvek", testing_support::random_morvek_session},
                                  {"Cindral", testing_support::random_cindral_session},
                                  {"Quillet", testing_support::random_quillet_session}};
  std::string list;
  std::uint32_t failing = 0;
  for (const Generator& g : generators) {
    for (std::uint32_t n = 1; n <= count; ++n) {
      const std::string name = std::string(g.program) + "-" + std::to_string(n) + ".txt";
      if (!write_file(folder + "/" + name, varied(g.session(n), n, failing))) {
        std::cerr << "write_sessions: cannot write " << folder << "/" << name << "\n";
        return 1;
      }
      list += std::string(g.program) + " " + name + "\n";
    }
  }
  return write_file(folder + "/sessions.txt", list) ? 0 : 1;
}
