#include "python/native/builder_writing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "common/console.h"
#include "common/output_file.h"
#include "common/process_end.h"
#include "dialogues/cindral.h"
#include "dialogues/morvek.h"
#include "dialogues/quillet.h"
#include "format/basic_file.h"
#include "format/drain_file.h"
#include "format/flow_file.h"
#include "platform/platform.h"

namespace gwbuilders {
namespace {

// A session in-process is one at a time (common::run_in_process).
std::mutex g_one_session;

struct BuilderFile {
  std::string_view name;
  void (*dialogue)(common::Console&, common::OutputFile&);
};

BuilderFile file_of(Builder builder) {
  switch (builder) {
    case Builder::Morvek: return {format::kBasicFileName, dialogues::morvek::run_dialogue};
    case Builder::Cindral: return {format::kFlowFileName, dialogues::cindral::run_dialogue};
    case Builder::Quillet: break;
  }
  return {format::kDrainFileName, dialogues::quillet::run_dialogue};
}

[[noreturn]] void fail(const std::string& path, const std::string& why) { throw WriteFailure(path + ": " + why); }

// The place a builder's open would write: a symbolic link followed to the
// file it names, which is replaced while the link stays.
std::string place_behind_links(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) fail(path, std::string("a link to nothing that can be written: ") + std::strerror(errno));
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// A new empty file beside `target`, of this process alone (O_EXCL); the
// dialogue's file reopens it by its name.
std::string create_beside(const std::string& target) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = target.substr(folder.size());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string part = folder + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".part";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return part;
    }
    if (errno != EEXIST) fail(target, std::string("no file can be made beside it: ") + std::strerror(errno));
  }
  fail(target, "no free name beside it");
}

// What the run-time error report or the refusal says, on one line.
std::string why_it_ended(const common::SessionEnd& end) {
  std::string text;
  bool gap = false;
  for (char c : end.standard_error) {
    if (c == '\r' || c == '\n') {
      gap = true;
      continue;
    }
    if (gap && !text.empty()) text += ' ';
    gap = false;
    text += c;
  }
  return text;
}

// Closes the lock's file at the end of the write, whichever way it ends.
struct ClosedAtEnd {
  int fd;
  ~ClosedAtEnd() { platform::close(fd); }
};

}  // namespace

void write_with_builder(Builder builder, const std::string& folder, std::string_view answers) {
  const BuilderFile file = file_of(builder);
  const std::string target = place_behind_links(folder + "/" + std::string(file.name));
  const bool existed = platform::exists(target);

  // The lock the builders take, on the file at the place; made (empty) when
  // there is none yet, and then removed again if nothing replaces it.
  const platform::OpenedFile place = platform::open_output_file(target);
  if (place.fd < 0) fail(target, std::strerror(place.error));
  const ClosedAtEnd closed{place.fd};
  auto leave_place = [&] {
    if (!existed) ::unlink(target.c_str());
  };
  if (!place.regular) fail(target, "not a regular file; left as it is");
  if (!place.writable) fail(target, std::strerror(EACCES));  // as the builder fails on it
  long holder = 0;
  if (!platform::lock_open_file_against_other_runs(place.fd, holder)) {
    leave_place();
    fail(target, "another run is writing this file" +
                     (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string()));
  }

  std::string part;
  try {
    part = create_beside(target);
  } catch (const WriteFailure&) {
    leave_place();
    throw;
  }
  // The permissions of the file replaced, as a builder writing it keeps them.
  struct stat old {};
  if (existed && ::fstat(place.fd, &old) == 0) ::chmod(part.c_str(), old.st_mode & 07777);

  common::SessionEnd end;
  {
    const std::lock_guard<std::mutex> one(g_one_session);
    common::Console console(answers, common::Console::kNullSink);
    common::OutputFile output;
    output.place_at(part);
    end = common::run_in_process([&] { file.dialogue(console, output); });
  }
  if (end.kind != common::SessionEnd::Kind::Stop) {
    ::unlink(part.c_str());
    leave_place();
    fail(target, "the builder's dialogue did not reach its stop: " + why_it_ended(end));
  }
  if (::rename(part.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(part.c_str());
    leave_place();
    fail(target, std::strerror(err));
  }
}

}  // namespace gwbuilders
