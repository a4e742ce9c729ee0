// What the programs ask of the operating system, in one place: reading
// standard input and giving back what was not used, the output file's open,
// rewind, cut and close, whether a stream is a terminal, the signals that
// ask a run to end (end_signals.h), writing (write_all.h), and the end of
// the process. One source file implements all of it for each system
// (platform_posix.cpp, platform_windows.cpp); nothing else calls the system
// directly.
//
// Streams are numbered as on POSIX: standard input, output and error are 0,
// 1 and 2, and an open file has a number above them. On Windows these are
// the C runtime's numbers, each standing for a system handle that is read
// and written directly, without any translation of line ends. Failures are
// errno values (on Windows translated from the system's error codes), so
// that a report reads the same on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// ---- The process ----------------------------------------------------------

// Called first thing: a write that fails (a reader that left, a file-size
// limit) is reported by the program instead of ending the process silently,
// and the standard streams carry bytes as they are.
void prepare_standard_streams();

// Ends the process with `status` at once; nothing is flushed.
[[noreturn]] void end_process(int status) noexcept;

// The characters that separate the folders of a path ("/", and on Windows
// also "\").
std::string_view path_separators();

// Whether two names of files in one folder name the same file: byte for byte
// on POSIX; on Windows, whose file systems ignore the case of letters, also
// when they differ only in the case of A to Z (for001 there is FOR001).
bool same_file_name(std::string_view a, std::string_view b);

// ---- Reading and writing --------------------------------------------------

bool is_terminal(int fd);

// Reads at most `room` bytes (retrying an interrupted read, waiting when the
// stream was left non-blocking). Returns how many: 0 at the end of the
// stream or when the read failed, which then sets `error` to the errno.
std::size_t read_some(int fd, char* into, std::size_t room, int& error) noexcept;

// The same at `offset` of a file.
std::size_t read_at(int fd, char* into, std::size_t room, std::int64_t offset, int& error) noexcept;

// ---- Standard input: what it is, and giving back what was not used ------

enum class InputKind {
  File,   // a regular file: its offset can be set back
  Pipe,   // a pipe or FIFO: looked into without taking bytes out (PipeWindow)
  Other,  // anything else, or closed: read on, nothing given back
};
InputKind input_kind(int fd);

// The offset of a file, or -1 when it has none.
std::int64_t offset_of(int fd) noexcept;
// Sets the offset of a file (async-signal-safe).
void set_offset(int fd, std::int64_t offset) noexcept;

// A view into a pipe: the bytes waiting in it, copied without taking them
// out, so that a run reads out of the pipe only the lines it used and leaves
// the rest for the next program.
class PipeWindow {
 public:
  static constexpr long kCannotLook = -1;

  PipeWindow() = default;
  ~PipeWindow();
  PipeWindow(const PipeWindow&) = delete;
  PipeWindow& operator=(const PipeWindow&) = delete;

  // Whether the pipe `fd` can be looked into.
  bool open(int fd);

  // Copies what waits in the pipe (at most `room` bytes) to `into`, once
  // more than `seen` bytes wait; before the first byte comes this waits like
  // a read. Returns how many bytes were copied (more than `seen`), 0 when
  // nothing more will come (the writers are gone), or kCannotLook when the
  // pipe cannot be looked into after all (then it is read as other input).
  long look(char* into, std::size_t room, std::size_t seen);

 private:
  bool wait_for_more_than(std::size_t seen);

  int fd_ = -1;
  int copy_read_ = -1;   // POSIX: the copy of what waits (tee)
  int copy_write_ = -1;
};

// ---- The output file ------------------------------------------------------

struct OpenedFile {
  int fd = -1;            // above the standard streams; -1 when it failed
  int error = 0;          // the errno of the failure
  bool writable = false;  // false: may be read, not written (the first record reports it)
  bool regular = false;   // a regular file, not a device or a FIFO
};

// Opens `name` for writing, creating it when missing and leaving an existing
// file's contents as they are. A file that may be read but not written is
// opened for reading; a directory is EISDIR.
OpenedFile open_output_file(const std::string& name);

// Locks the whole file `fd` against other runs until the process ends
// (shared when the file is not `writable`). Returns true when it is held or
// the system has no locks there; false when another run holds it, with its
// process id in `holder` when known (0 when not).
bool lock_against_other_runs(int fd, bool writable, long& holder);
// The same exclusive lock for a process whose threads may open the file
// meanwhile: held by the open file `fd` itself, not by the process, so that
// closing another descriptor of the file in the process does not release
// it, and another open of the file in the process meets it as another
// run's. It excludes the builders' locks as theirs exclude each other.
bool lock_open_file_against_other_runs(int fd, long& holder);

// 0, or the errno: ESPIPE for a stream that has no start to go back to.
int rewind(int fd);
// Cuts the file at `size` bytes, leaving its position alone. 0 or the errno.
int cut_at(int fd, std::int64_t size) noexcept;
// 0 or the errno (async-signal-safe).
int close(int fd) noexcept;

// ---- Files read back --------------------------------------------------------

enum class FileKind { Regular, Directory, Other };

// Opens `path` for reading: the number, or -1 with `error` set. Never
// waits: a FIFO without a writer opens at once, to be refused by kind_of.
int open_for_reading(const std::string& path, int& error);
FileKind kind_of(int fd, int& error);
// Whether anything is at `path`: a broken link or a loop of links is
// there too (and fails when it is opened), unlike nothing at all.
bool exists(const std::string& path);
// Whether `path` leads to a regular file (not a directory, device or FIFO).
bool is_regular_file(const std::string& path);
// What `path` leads to, without opening it; `error` set when it leads nowhere.
FileKind kind_at(const std::string& path, int& error);

// ---- Files written whole ----------------------------------------------------

// Which file a name or a stream stands for, whatever its name: two paths
// (a link, another spelling, a hard link) name the same file when these
// are equal.
struct FileIdentity {
  std::uint64_t device = 0;  // POSIX st_dev; Windows the volume's serial number
  std::uint64_t file = 0;    // POSIX st_ino; Windows the file index
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What sits at a path, links followed, or behind an open stream.
struct FileLook {
  bool found = false;  // false: nothing there, or it cannot be looked at
  FileKind kind = FileKind::Other;
  FileIdentity identity;
};
FileLook look_at(const std::string& path);
FileLook look_at(int fd);

// Writes `bytes` to `path` whole or not at all: into a new file of a name
// no other run uses, in the folder of the file it replaces, flushed to the
// disk and then renamed over it. A symbolic link at `path` is followed (the
// file it points to is replaced, the link stays), an existing file keeps
// its permissions (and its owner and group where the process may set them),
// and anything at `path` that is not a regular file (a FIFO, a device, a
// socket, a folder) is left alone and refused. False, with the file and
// the reason in `error`, when it cannot.
bool replace_file(const std::string& path, std::string_view bytes, std::string& error);

// ---- The end signals --------------------------------------------------------
// (end_signals.h: what a run does when the user or the system asks it to end)

using EndDuties = void (*)() noexcept;
void catch_end_signals(EndDuties duties);
void hold_end_signals() noexcept;
void release_end_signals() noexcept;

}  // namespace platform
