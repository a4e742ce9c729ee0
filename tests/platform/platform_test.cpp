// The promises of the system layer that the rest builds on, on this system:
// a pipe looked into keeps its bytes, a cut leaves the file's position alone,
// held end signals stay held until the outermost hold ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "tests/support/program_runner.h"
#include "platform/write_all.h"

namespace {

using platform::PipeWindow;

struct Pipe {
  int read_end = -1, write_end = -1;
  Pipe() {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    read_end = ends[0];
    write_end = ends[1];
  }
  ~Pipe() {
    for (int fd : {read_end, write_end}) {
      if (fd >= 0) ::close(fd);
    }
  }
  void write(std::string_view bytes) const {
    ASSERT_EQ(::write(write_end, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void close_writer() {
    ::close(write_end);
    write_end = -1;
  }
  std::string read_all() const {
    std::string bytes;
    char block[256];
    for (ssize_t n; (n = ::read(read_end, block, sizeof block)) > 0;) bytes.append(block, static_cast<std::size_t>(n));
    return bytes;
  }
};

// What is looked at stays in the pipe; a look waits for more than it has
// seen, and says when nothing more will come.
TEST(Platform, APipeLookedIntoKeepsItsBytes) {
  Pipe pipe;
  PipeWindow window;
  ASSERT_TRUE(window.open(pipe.read_end));
  char seen[64] = {};

  pipe.write("12\n34\n");
  ASSERT_EQ(window.look(seen, sizeof seen, 0), 6);
  EXPECT_EQ(std::string(seen, 6), "12\n34\n");

  std::thread late_writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pipe.write("5");
  });
  ASSERT_EQ(window.look(seen, sizeof seen, 6), 7);  // waited for the seventh byte
  late_writer.join();
  EXPECT_EQ(std::string(seen, 7), "12\n34\n5");

  pipe.close_writer();
  EXPECT_EQ(window.look(seen, sizeof seen, 7), 0);  // no more will come
  EXPECT_EQ(pipe.read_all(), "12\n34\n5");           // nothing was taken out
}

// A stream left non-blocking by whoever handed it over is waited on, not
// taken for one that failed.
TEST(Platform, ReadingANonBlockingPipeWaits) {
  Pipe pipe;
  ::fcntl(pipe.read_end, F_SETFL, ::fcntl(pipe.read_end, F_GETFL) | O_NONBLOCK);
  std::thread late_writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pipe.write("42\n");
  });
  char got[8] = {};
  int error = 0;
  EXPECT_EQ(platform::read_some(pipe.read_end, got, sizeof got, error), 3u);
  late_writer.join();
  EXPECT_EQ(error, 0);
  EXPECT_EQ(std::string(got, 3), "42\n");
}

TEST(Platform, OutputFileOperations) {
  namespace platform = platform;
  testing_support::Scratch dir;
  dir.write("FOR013", "old contents\r\n");
  const platform::OpenedFile file = platform::open_output_file(dir.file("FOR013"));
  ASSERT_GE(file.fd, 3);
  EXPECT_TRUE(file.writable);
  EXPECT_TRUE(file.regular);
  EXPECT_EQ(dir.read("FOR013"), "old contents\r\n");  // opening leaves it as it was

  EXPECT_EQ(platform::write_all(file.fd, "0123456789", 10).count, 10u);
  EXPECT_EQ(platform::cut_at(file.fd, 4), 0);
  EXPECT_EQ(platform::offset_of(file.fd), 10);  // the cut leaves the position alone
  EXPECT_EQ(platform::rewind(file.fd), 0);
  EXPECT_EQ(platform::offset_of(file.fd), 0);
  EXPECT_EQ(platform::close(file.fd), 0);
  EXPECT_EQ(dir.read("FOR013"), "0123");

  ::mkdir(dir.file("FOR001").c_str(), 0755);
  const platform::OpenedFile directory = platform::open_output_file(dir.file("FOR001"));
  EXPECT_EQ(directory.fd, -1);
  EXPECT_EQ(directory.error, EISDIR);

  Pipe pipe;
  EXPECT_EQ(platform::rewind(pipe.write_end), ESPIPE);
}

// Whether a builder started now (another process) could lock `path`.
bool another_run_could_lock(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(path.c_str(), O_RDWR);
    long holder = 0;
    ::_exit(fd >= 0 && platform::lock_against_other_runs(fd, true, holder) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A lock of a process is let go when any of its descriptors of the file
// closes: a thread that reads the file while another writes it would open
// the file to the builders. The open file's own lock is not.
TEST(Platform, AnOpenFilesLockOutlivesTheCloseOfAnotherDescriptor) {
  testing_support::Scratch dir;
  dir.write("FOR001", "");
  const std::string path = dir.file("FOR001");
  const int writing = ::open(path.c_str(), O_RDWR);
  long holder = 0;
  ASSERT_TRUE(platform::lock_open_file_against_other_runs(writing, holder));
  EXPECT_FALSE(another_run_could_lock(path));

  const int second = ::open(path.c_str(), O_RDWR);  // another thread's open of the file
  EXPECT_FALSE(platform::lock_open_file_against_other_runs(second, holder));
  ::close(second);
  ::close(::open(path.c_str(), O_RDONLY));  // a read of it in passing
  EXPECT_FALSE(another_run_could_lock(path));

  ::close(writing);
  EXPECT_TRUE(another_run_could_lock(path));
}

bool interrupt_blocked() {
  sigset_t now;
  sigprocmask(SIG_BLOCK, nullptr, &now);
  return sigismember(&now, SIGINT) == 1;
}

TEST(Platform, EndSignalsStayHeldUntilTheOutermostHoldEnds) {
  namespace platform = platform;
  ASSERT_FALSE(interrupt_blocked());
  platform::hold_end_signals();
  platform::hold_end_signals();
  EXPECT_TRUE(interrupt_blocked());
  platform::release_end_signals();
  EXPECT_TRUE(interrupt_blocked());
  platform::release_end_signals();
  EXPECT_FALSE(interrupt_blocked());
}

}  // namespace
