// Where gwinspect report writes its page, run as a user runs it: the
// model's own files are never written over, whatever the spelling; links
// are followed; FIFOs, devices, sockets and folders are left alone; an
// existing page keeps its permissions and owner; runs writing one page at
// once do not trip over each other; `-o -` is standard output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::read_file;
using testing_support::Scratch;

// FOR001, FOR011 and FOR013 of the example model, written once by the
// builders.
const std::map<std::string, std::string>& example_model() {
  static const std::map<std::string, std::string> files = [] {
    Scratch dir;
    for (auto [program, answers] : {std::pair{MORVEK_PATH, "morvek.txt"}, {CINDRAL_PATH, "cindral.txt"},
                                    {QUILLET_PATH, "quillet.txt"}}) {
      const std::string input = read_file(std::string(EXAMPLES_DIR) + "/" + answers);
      if (testing_support::run_redirected(program, dir, input).exit_status != 0) return std::map<std::string, std::string>{};
    }
    return std::map<std::string, std::string>{
        {"FOR001", dir.read("FOR001")}, {"FOR011", dir.read("FOR011")}, {"FOR013", dir.read("FOR013")}};
  }();
  return files;
}

// The example model in `dir`, with a FOR012 beside it (a module file made
// by other means: looked for, not read).
void put_model(const Scratch& dir) {
  ASSERT_EQ(example_model().size(), 3u);
  for (const auto& [name, bytes] : example_model()) dir.write(name, bytes);
  dir.write("FOR012", "wells, made by hand\r\n");
}

RunResult gwinspect(const Scratch& dir, std::vector<std::string> arguments, RunOptions options = {}) {
  arguments.insert(arguments.begin(), "report");
  options.arguments = std::move(arguments);
  return testing_support::run_redirected(GWINSPECT_PATH, dir, "", options);
}

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

bool is_page(const std::string& bytes) {
  return bytes.starts_with("<!DOCTYPE html>\n") && bytes.ends_with("</html>\n");
}

// The names in `dir` that end in ".part": what a run left behind.
std::vector<std::string> leftovers(const std::string& dir) {
  std::vector<std::string> found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.path().filename().string().ends_with(".part")) found.push_back(entry.path().string());
  }
  return found;
}

TEST(ReportOutput, NeverWritesOverAFileOfTheModelItReads) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::function<void(const Scratch&)> prepare;  // links, folders
    std::function<void()> in_child;              // run from elsewhere
  };
  const std::vector<Case> cases = {
      {"its name", {"-o", "FOR001"}, nullptr, nullptr},
      {"another spelling", {"-o", "./FOR001"}, nullptr, nullptr},
      {"through a folder and back", {".", "--output=sub/../FOR011"},
       [](const Scratch& dir) { fs::create_directory(dir.file("sub")); }, nullptr},
      {"from a folder below", {"..", "-o", "../FOR013"},
       [](const Scratch& dir) { fs::create_directory(dir.file("sub")); },
       [] {
         if (chdir("sub") != 0) _exit(127);
       }},
      {"the absolute path of another module file", {}, nullptr, nullptr},
      {"a symbolic link to it", {"-o", "page.html"},
       [](const Scratch& dir) { fs::create_symlink("FOR001", dir.file("page.html")); }, nullptr},
      {"a link to a link to it", {"-opage.html"},
       [](const Scratch& dir) {
         fs::create_symlink("FOR011", dir.file("hop.html"));
         fs::create_symlink("hop.html", dir.file("page.html"));
       },
       nullptr},
      {"a hard link to it", {"-o", "page.html"},
       [](const Scratch& dir) { fs::create_hard_link(dir.file("FOR013"), dir.file("page.html")); }, nullptr},
      {"standard output appending to it", {"-o", "-"}, nullptr,
       [] {
         const int fd = ::open("FOR001", O_WRONLY | O_APPEND);
         if (fd < 0 || dup2(fd, 1) != 1) _exit(127);
         ::close(fd);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    put_model(dir);
    if (c.prepare) c.prepare(dir);
    std::vector<std::string> arguments = c.arguments;
    if (arguments.empty()) arguments = {dir.path(), "-o", dir.file("FOR012")};
    RunOptions options;
    options.in_child = c.in_child;
    const RunResult run = gwinspect(dir, arguments, options);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("a file of the model; the page is not written over it"), std::string::npos) << run.err;
    for (const auto& [name, bytes] : example_model()) EXPECT_TRUE(dir.read(name) == bytes) << name << " changed";
    EXPECT_EQ(dir.read("FOR012"), "wells, made by hand\r\n");
    EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
  }
  // A unit the module table names beyond the slots' own files (FOR011 to
  // FOR034): Wells at unit 45.
  Scratch dir;
  put_model(dir);
  std::string basic = dir.read("FOR001");
  ASSERT_NE(basic.find(" 11  0 13"), std::string::npos);
  dir.write("FOR001", basic.replace(basic.find(" 11  0 13"), 9, " 11 45 13"));
  dir.write("FOR045", "wells, made by hand\r\n");
  const RunResult run = gwinspect(dir, {"-o", "FOR045"});
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_NE(run.err.find("a file of the model; the page is not written over it"), std::string::npos) << run.err;
  EXPECT_EQ(dir.read("FOR045"), "wells, made by hand\r\n");
}

// Something that is not a regular file, made at `path`; false when this
// process may not make it (a device node needs privileges).
using Maker = std::function<bool(const std::string& path)>;

TEST(ReportOutput, LeavesWhatIsNotARegularFileAsItIs) {
  struct Case {
    const char* name;
    Maker make;
    std::string kind;  // as the message says it
    fs::file_type type;
  };
  const std::vector<Case> cases = {
      {"a FIFO", [](const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }, "a FIFO",
       fs::file_type::fifo},
      {"a folder", [](const std::string& path) { return fs::create_directory(path); }, "a folder",
       fs::file_type::directory},
      {"a socket",
       [](const std::string& path) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         if (path.size() >= sizeof address.sun_path) return false;
         path.copy(address.sun_path, path.size());
         const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
         const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
         if (fd >= 0) ::close(fd);
         return bound;
       },
       "a socket", fs::file_type::socket},
      {"a device (the null device, made here)",
       [](const std::string& path) { return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
       "a device", fs::file_type::character},
  };
  for (const Case& c : cases) {
    for (const bool through_link : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (through_link ? ", through a symbolic link" : ""));
      Scratch dir;
      put_model(dir);
      if (!c.make(dir.file("thing"))) {
        std::cout << "[  SKIPPED ] " << c.name << " cannot be made here\n";
        continue;
      }
      if (through_link) fs::create_symlink("thing", dir.file("page.html"));
      const RunResult run = gwinspect(dir, {"-o", through_link ? "page.html" : "thing"});
      EXPECT_EQ(run.exit_status, 2);
      EXPECT_EQ(lines(run.err), 1) << run.err;
      EXPECT_NE(run.err.find(c.kind + ", not a regular file; left as it is"), std::string::npos) << run.err;
      EXPECT_EQ(fs::symlink_status(dir.file("thing")).type(), c.type);
      if (through_link) {
        EXPECT_TRUE(fs::is_symlink(dir.file("page.html")));
      }
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
    }
  }
}

TEST(ReportOutput, ALinkIsFollowedAndAnExistingPageKeepsItsModeAndOwner) {
  struct Case {
    const char* name;
    std::string link_target;  // empty: no link, the page is written at "page.html"
    bool existing;            // the file the page replaces is there before
    mode_t mode;              // and has this mode
  };
  const std::vector<Case> cases = {
      {"a private page", "", true, 0600},
      {"a page readable by its group", "", true, 0640},
      {"a link to a private page in another folder", "pages/kept.html", true, 0600},
      {"a link to a page not yet written", "pages/new.html", false, 0},
  };
  // Root may give the page another owner; then it keeps that one too.
  const bool may_give_away = geteuid() == 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    put_model(dir);
    fs::create_directory(dir.file("pages"));
    const std::string file = dir.file(c.link_target.empty() ? "page.html" : c.link_target);
    if (c.existing) {
      dir.write(c.link_target.empty() ? "page.html" : c.link_target, "the old page");
      ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
      if (may_give_away) {
        ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
      }
    }
    if (!c.link_target.empty()) fs::create_symlink(c.link_target, dir.file("page.html"));
    const RunResult run = gwinspect(dir, {"-o", "page.html"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out, "gwinspect report: wrote page.html (" +
                           std::to_string((fs::file_size(file) + 1023) / 1024) + " kB)\n");
    EXPECT_TRUE(is_page(read_file(file)));
    if (!c.link_target.empty()) {
      EXPECT_TRUE(fs::is_symlink(dir.file("page.html")));
      EXPECT_EQ(fs::read_symlink(dir.file("page.html")), c.link_target);
    }
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    if (c.existing) {
      EXPECT_EQ(st.st_mode & 07777, c.mode);
      if (may_give_away) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
      }
    } else {
      EXPECT_EQ(st.st_mode & 0022, 0u);  // a new page: writable by its owner only, as before
    }
    EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
  }
}

TEST(ReportOutput, RunsWritingOnePageAtOnceEachWriteItWhole) {
  // Before, runs shared one temporary name: one renamed the other's file
  // away and failed with "No such file or directory".
  Scratch dir;
  put_model(dir);
  constexpr int kRounds = 6, kRuns = 6;
  std::vector<std::string> words = {GWINSPECT_PATH, "report", dir.path(), "-o", dir.file("page.html")};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> runs;
    for (int i = 0; i < kRuns; ++i) {
      pid_t pid = 0;
      ASSERT_EQ(posix_spawn(&pid, GWINSPECT_PATH, &actions, nullptr, argv.data(), environ), 0);
      runs.push_back(pid);
    }
    for (pid_t pid : runs) {
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    EXPECT_TRUE(is_page(dir.read("page.html")));
  }
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
}

TEST(ReportOutput, ADashIsStandardOutputAndOneOutputIsAllThereIs) {
  Scratch dir;
  put_model(dir);
  ASSERT_EQ(gwinspect(dir, {"-o", "page.html"}).exit_status, 0);
  const std::string page = dir.read("page.html");
  ASSERT_TRUE(is_page(page));
  // The page alone on standard output, byte for byte the file's.
  const RunResult to_output = gwinspect(dir, {"-o", "-"});
  EXPECT_EQ(to_output.exit_status, 0) << to_output.err;
  EXPECT_TRUE(to_output.out == page) << "standard output: " << to_output.out.substr(0, 200);
  EXPECT_EQ(to_output.err, "");
  EXPECT_FALSE(dir.exists("-"));
  // Standard output that takes none of it: the system's reason is told.
  const std::vector<std::pair<std::function<void()>, std::string>> refusing = {
      {[] {
         const int full = ::open("/dev/full", O_WRONLY);
         if (full < 0 || dup2(full, 1) != 1) _exit(127);
       },
       "No space left on device"},
      {[] {  // a file sealed against writing
         const int sealed = memfd_create("page", MFD_ALLOW_SEALING);
         if (sealed < 0 || fcntl(sealed, F_ADD_SEALS, F_SEAL_WRITE) != 0 || dup2(sealed, 1) != 1) _exit(127);
       },
       "Operation not permitted"},
  };
  for (const auto& [to_refusing_output, reason] : refusing) {
    RunOptions options;
    options.in_child = to_refusing_output;
    const RunResult refused = gwinspect(dir, {"-o", "-"}, options);
    EXPECT_EQ(refused.exit_status, 2);
    EXPECT_EQ(refused.err, "gwinspect report: error: cannot write the page to standard output: " + reason + "\n");
  }

  struct Case {
    const char* name;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> twice = {
      {"-o twice", {"-o", "a.html", "-o", "b.html"}},
      {"-o and --output=", {"-oa.html", "--output=b.html"}},
      {"--output and -o -", {"--output", "a.html", ".", "-o", "-"}},
      {"the same file twice", {"-o", "a.html", "-o", "a.html"}},
  };
  for (const Case& c : twice) {
    SCOPED_TRACE(c.name);
    const RunResult run = gwinspect(dir, c.arguments);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "gwinspect report: one -o FILE only\nusage: gwinspect report [DIR] [-o FILE|-] [--length-unit NAME]\n");
    EXPECT_FALSE(dir.exists("a.html"));
    EXPECT_FALSE(dir.exists("b.html"));
  }
}

}  // namespace
