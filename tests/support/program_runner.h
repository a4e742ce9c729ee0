// Runs a built program as a user would: in a scratch folder, with its answers
// redirected from a file or typed at a pseudo-terminal, and collects standard
// output, standard error, the exit status and the files it wrote.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed afterwards.
class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
  bool exists(std::string_view name) const;
  std::string read(std::string_view name) const;
  void write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

struct RunResult {
  int exit_status = -1;   // -1 when killed by a signal
  int signal = 0;
  std::string out;
  std::string err;
  // Peak resident memory of the program itself: it runs as the child of a
  // small launcher (tests/measured_launch.cpp), since a child of the test
  // process would count the test's own memory too.
  long peak_kib = 0;
  long stdin_offset = -1; // where standard input stood when it ended (file input)
  // Pipe input: what the program left in the pipe, and what was still to
  // be written when it ended; what a program run next would read.
  std::string stdin_left;
};

struct RunOptions {
  std::vector<std::string> arguments;  // the command line after the program's name
  bool stdin_pipe = false;         // answers through a pipe instead of a file
  std::string stdin_path;          // answers from this file; `input` is then unused
  std::string stdout_path;         // standard output to this file instead of a capture
  bool close_stdout = false;       // start with standard output closed
  // Standard output is a pipe whose reader takes this many bytes (or fewer,
  // if the program ends first) and then closes it, like `| head -c N`. Only
  // then are the answers fed, when they go through a pipe, so that every
  // write after the program's first read meets the closed pipe. `out` holds
  // the bytes read.
  long stdout_reader_closes_after = -1;
  std::function<void()> in_child;  // runs in the child just before exec
  // Answers through a pipe, written in these pieces with a pause of
  // `piece_pause_ms` between them (`input` is then unused).
  std::vector<std::string> stdin_pieces;
  int piece_pause_ms = 0;
  // Runs here once the program has started, before any answer goes into a
  // pipe, given the program's process group (the program and the launcher
  // that measures it, which ignores the signals that end a run).
  std::function<void(pid_t)> while_running;
  // At a terminal: `signal` is sent to the program's process group once
  // standard output has shown `once_shown`.
  struct Interrupt {
    int signal = 0;
    std::string once_shown;
  } interrupt;
};

// Standard input from a file holding `input` (or a pipe), output captured.
RunResult run_redirected(const std::string& program, const Scratch& dir, std::string_view input,
                         const RunOptions& options = {});

// Standard input and output on one pseudo-terminal with echo and output
// processing off, so the bytes are exactly the program's. `input` is typed
// as it stands ("\x04" at a line start is the end of input). With
// `options.stdout_path` only the answers are typed; output goes to the file.
RunResult run_on_terminal(const std::string& program, const Scratch& dir, std::string_view input,
                          const RunOptions& options = {});

// The bytes of a file, "" when it cannot be read.
std::string read_file(const std::string& path);

// "\r\n"-joined lines, for writing expected console bytes readably.
std::string crlf(std::initializer_list<std::string_view> lines);

}  // namespace testing_support
