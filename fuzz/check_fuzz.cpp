// Any bytes as the files of a model folder, checked. The first byte says
// which files are there (bit 0: FOR001, bit 1: FOR011, bit 2: FOR013); the
// rest is their contents, one after the other, parted by kSeparator.
//
// The check never crashes (the build aborts at the first finding of
// AddressSanitizer or UndefinedBehaviorSanitizer) and always gives an
// answer: completed exactly when there is a FOR001; each diagnostic names
// one of the files, a line within it (or 0 with column 0 for a whole file),
// a severity, a rule and a one-line message; they come in file order, by
// line and column; their JSON document is well formed as far as nesting and
// strings go. The files read plainly give the same diagnostics as read the
// quick way, and the same files with LF line ends instead of CR LF give
// the same diagnostics too.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "check/diagnostic_output.h"
#include "fuzz/fuzz_check.h"
#include "check/model_check.h"

namespace {

constexpr std::string_view kSeparator = "\n#~#~#\n";
constexpr std::string_view kNames[] = {"FOR001", "FOR011", "FOR013"};

// The scratch folder of this process, removed at its end.
std::string scratch_path;

void remove_scratch() {
  for (std::string_view name : kNames) ::unlink((scratch_path + "/" + std::string(name)).c_str());
  ::rmdir(scratch_path.c_str());
}

const std::string& folder() {
  if (scratch_path.empty()) {
    char pattern[] = "/tmp/fuzz_check.XXXXXX";
    const char* made = ::mkdtemp(pattern);
    FUZZ_CHECK(made != nullptr, "no scratch folder");
    scratch_path = made;
    std::atexit(remove_scratch);
  }
  return scratch_path;
}

void write_file(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  FUZZ_CHECK(fd >= 0, "cannot write %s", path.c_str());
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    FUZZ_CHECK(n > 0, "cannot write %s", path.c_str());
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
}

// Lines of a file as the check counts them (the last may lack its line end).
std::int64_t line_count(std::string_view bytes) {
  std::int64_t lines = 0;
  for (char c : bytes) lines += c == '\n';
  if (!bytes.empty() && bytes.back() != '\n') ++lines;
  return lines;
}

std::vector<std::string> lines_of(const check::CheckResult& result) {
  std::vector<std::string> lines;
  for (const check::Diagnostic& d : result.diagnostics) lines.push_back(check::diagnostic_line(d, ""));
  return lines;
}

// Braces and brackets nest, strings close, no raw control byte.
bool json_well_formed(std::string_view json) {
  std::vector<char> open;
  bool in_string = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (in_string) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
      continue;
    }
    if (c == '"') in_string = true;
    if (c == '{' || c == '[') open.push_back(c);
    if (c == '}' || c == ']') {
      if (open.empty() || open.back() != (c == '}' ? '{' : '[')) return false;
      open.pop_back();
    }
  }
  return !in_string && open.empty();
}

// CR LF line ends made LF; false when a CR stands anywhere else (the two
// would then not hold the same lines), or when a line is near the longest
// the reader takes (whose bound counts a CR before the LF).
bool with_lf(std::string_view bytes, std::string& lf) {
  lf.clear();
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') line_start = i + 1;
    if (i - line_start > 4000) return false;
    if (bytes[i] == '\r') {
      if (i + 1 == bytes.size() || bytes[i + 1] != '\n') return false;
      continue;
    }
    lf += bytes[i];
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned present = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view contents[3];
  for (std::string_view& c : contents) {
    const std::size_t end = rest.find(kSeparator);
    c = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + kSeparator.size());
  }
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string path = folder() + "/" + std::string(kNames[i]);
    ::unlink(path.c_str());
    if (present & (1u << i)) write_file(path, contents[i]);
  }

  const check::CheckResult result = check::check_model(folder());
  FUZZ_CHECK(result.completed == ((present & 1u) != 0), "completed %d with files %u", result.completed, present);
  const check::Diagnostic* before = nullptr;
  for (const check::Diagnostic& d : result.diagnostics) {
    std::int64_t lines = -1;
    for (std::size_t i = 0; i < 3; ++i) {
      if (d.file == kNames[i]) lines = line_count(contents[i]);
    }
    // Other files are named only for the whole file (a missing module file).
    FUZZ_CHECK(lines >= 0 || d.line == 0, "%s:%lld", d.file.c_str(), static_cast<long long>(d.line));
    FUZZ_CHECK(d.line >= 0 && d.line <= lines + 1, "%s line %lld of %lld", d.file.c_str(),
               static_cast<long long>(d.line), static_cast<long long>(lines));
    FUZZ_CHECK(d.column >= 0 && (d.line > 0 || d.column == 0), "column %lld", static_cast<long long>(d.column));
    FUZZ_CHECK(!d.rule.empty() && !d.message.empty() && d.count >= 1, "%s", d.message.c_str());
    FUZZ_CHECK(d.message.find_first_of("\r\n") == std::string::npos, "%s", d.message.c_str());
    FUZZ_CHECK(d.severity == check::Severity::Error || d.severity == check::Severity::Warning ||
                   d.severity == check::Severity::Note,
               "severity");
    if (before != nullptr && before->file == d.file) {
      FUZZ_CHECK(before->line < d.line || (before->line == d.line && before->column <= d.column),
                 "out of order: %s then %s", check::diagnostic_line(*before, "").c_str(),
                 check::diagnostic_line(d, "").c_str());
    }
    before = &d;
  }
  const std::string json = check::json_document(result, folder());
  FUZZ_CHECK(json_well_formed(json), "%s", json.c_str());

  const std::vector<std::string> quick = lines_of(result);
  const std::vector<std::string> plain = lines_of(check::check_model(folder(), {.plain = true}));
  FUZZ_CHECK(quick == plain, "read plainly: %zu diagnostics, quickly: %zu", plain.size(), quick.size());

  std::string lf;
  bool all_lf = true;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!(present & (1u << i))) continue;
    if (!with_lf(contents[i], lf)) {
      all_lf = false;
      break;
    }
    write_file(folder() + "/" + std::string(kNames[i]), lf);
  }
  if (all_lf) {
    const std::vector<std::string> with_lf_ends = lines_of(check::check_model(folder()));
    FUZZ_CHECK(quick == with_lf_ends, "with LF line ends: %zu diagnostics, with CR LF: %zu",
               with_lf_ends.size(), quick.size());
  }
  return 0;
}
