// Consoles for the tests, on files and pipes instead of a terminal: what one
// shows for a session, and one that reads given answers.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/console.h"
#include "tests/support/program_runner.h"

namespace testing_support {

// The descriptors of a console on files of `dir`: answers from "answers"
// (or a pipe holding them), output to "shown".
class ConsoleOnFiles {
 public:
  ConsoleOnFiles(const Scratch& dir, std::string_view answers, bool pipe_input = false) : dir_(dir) {
    if (pipe_input) {
      int ends[2];
      if (pipe(ends) != 0) throw std::runtime_error("pipe");
      if (::write(ends[1], answers.data(), answers.size()) != static_cast<ssize_t>(answers.size())) {
        throw std::runtime_error("pipe write");
      }
      ::close(ends[1]);
      in_ = ends[0];
    } else {
      dir.write("answers", answers);
      in_ = ::open(dir.file("answers").c_str(), O_RDONLY);
    }
    out_ = ::open(dir.file("shown").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  ~ConsoleOnFiles() {
    ::close(in_);
    ::close(out_);
  }
  ConsoleOnFiles(const ConsoleOnFiles&) = delete;
  ConsoleOnFiles& operator=(const ConsoleOnFiles&) = delete;

  int in() const { return in_; }
  int out() const { return out_; }
  std::string shown() const { return dir_.read("shown"); }

 private:
  const Scratch& dir_;
  int in_ = -1;
  int out_ = -1;
};

// What a console shows for `session` with `answers` as its input; `shared`:
// as if input and output were one terminal.
inline std::string shown_by(bool shared, const std::function<void(common::Console&)>& session,
                            std::string_view answers = "") {
  Scratch dir;
  ConsoleOnFiles files(dir, answers);
  {
    common::Console console(files.in(), files.out(), shared);
    session(console);
    console.flush();
  }
  return files.shown();
}

enum class Source { File, Pipe };

// A console whose standard input holds `input` (in a file or a pipe) and
// whose output goes nowhere; `session` makes its reads. Usable in a death
// test: nothing is left to remove when the child ends without running
// destructors.
inline void with_console(std::string_view input, Source source,
                         const std::function<void(common::Console&)>& session) {
  Scratch dir;
  int in = -1;
  if (source == Source::File) {
    dir.write("answers", input);
    in = ::open(dir.file("answers").c_str(), O_RDONLY);
    std::filesystem::remove_all(dir.path());
  } else {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_LT(input.size(), 60000u) << "a pipe holds only so much before it is read";
    ASSERT_EQ(::write(ends[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(ends[1]);
    in = ends[0];
  }
  ASSERT_GE(in, 0);
  int out = ::open("/dev/null", O_WRONLY);
  {
    common::Console console(in, out, false);
    session(console);
  }
  ::close(in);
  ::close(out);
}

}  // namespace testing_support
