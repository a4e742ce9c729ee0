#include "tests/check/seeded_model.h"

#include <gtest/gtest.h>

#include "check/diagnostic_output.h"
#include "tests/support/expected_text.h"

namespace seeded_model {
namespace {

using testing_support::answers;
using testing_support::blanks;
using testing_support::Scratch;

// The answers of the consistent model (seeded_model.h), builder by builder.
const std::string kMorvekAnswers = answers(joined({
    {"Check model", "Seeded faults", "2", "3", "12", "2", "4"},
    {"1", "0", "1", "0", "0", "0", "0", "0", "1", "0", "0"},  // Block Centered Flow, Drains, SSOR
    {"0", "1"},                                              // options
    {"1", "-1"}, repeated("1", 11 + 12 + 11), {"0"},          // boundary of layer 1, by cell
    {"0", "1"},                                              // layer 2: all active
    {"999", "0", "100", "0", "90"},                          // no-flow head, starting heads
    {"365", "10", "1.2", "30", "5", "1"},                    // stress periods
}));
const std::string kCindralAnswers = answers({
    "0", "0", "2", "3", "12", "3", "1.0", "0", "1.0", "0", "100", "0", "50",
    "0", "0.001", "0", "10", "0", "50", "0", "0.01", "0", "0.2", "0", "120",  // layer 1
    "0", "0.0001", "0", "1500",                                               // layer 2
});
const std::string kQuilletAnswers =
    answers({"5", "0", "2", "2", "1", "2", "3", "95", "10", "2", "3", "4", "80", "5", "-1"});

}  // namespace

std::string right(std::string_view text, int width) {
  return blanks(width - static_cast<int>(text.size())) + std::string(text);
}

std::vector<std::string> repeated(const std::string& answer, int times) {
  return std::vector<std::string>(static_cast<std::size_t>(times), answer);
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void write_model(const Scratch& dir, const ModelFiles& model) {
  dir.write("FOR001", model.basic);
  dir.write("FOR011", model.flow);
  dir.write("FOR013", model.drains);
  dir.write("FOR021", kSolverFile);
}

void run_builder(const char* program, const Scratch& dir, const std::string& input) {
  const testing_support::RunResult run = testing_support::run_redirected(program, dir, input);
  ASSERT_EQ(run.exit_status, 0) << program << ": " << run.err;
}

const ModelFiles& consistent_model() {
  static const ModelFiles files = [] {
    Scratch dir;
    run_builder(MORVEK_PATH, dir, kMorvekAnswers);
    run_builder(CINDRAL_PATH, dir, kCindralAnswers);
    run_builder(QUILLET_PATH, dir, kQuilletAnswers);
    return ModelFiles{dir.read("FOR001"), dir.read("FOR011"), dir.read("FOR013")};
  }();
  return files;
}

std::vector<std::string> diagnostic_lines(const check::CheckResult& result) {
  std::vector<std::string> lines;
  for (const check::Diagnostic& d : result.diagnostics) lines.push_back(check::diagnostic_line(d, ""));
  return lines;
}

bool apply(std::string& bytes, const Edit& edit) {
  std::size_t at = 0;
  for (int l = 1; l < edit.line; ++l) {
    at = bytes.find('\n', at);
    if (at == std::string::npos) return false;
    ++at;
  }
  at += static_cast<std::size_t>(edit.column - 1);
  if (bytes.compare(at, edit.from.size(), edit.from) != 0) return false;
  bytes.replace(at, edit.from.size(), edit.to);
  return true;
}

std::string first_lines(const std::string& bytes, int count) {
  std::size_t end = 0;
  for (int i = 0; i < count; ++i) end = bytes.find('\n', end) + 1;
  return bytes.substr(0, end);
}

}  // namespace seeded_model
