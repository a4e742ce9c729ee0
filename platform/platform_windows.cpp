// The system calls of the programs on Windows (platform.h).
//
// Streams are the C runtime's numbers, but every read and write goes to the
// system handle behind them (ReadFile, WriteFile), so bytes pass unchanged:
// no CR is added before a LF, and Ctrl-Z is an ordinary byte except where
// the console itself makes it the end of a typed line.
#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX  // std::min, not the macro
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/write_all.h"

namespace platform {
namespace {

HANDLE handle_of(int fd) noexcept {
  if (fd < 0) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

bool valid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }

// The errno that says the same as a system error code.
int errno_for(DWORD code) noexcept {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return EACCES;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return EPIPE;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_SEEK_ON_DEVICE:
      return ESPIPE;
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK:
      return EINVAL;
    default:
      return EIO;
  }
}

int last_errno() noexcept { return errno_for(::GetLastError()); }

// The console has been known to refuse very large single reads and writes;
// it gets them in pieces.
constexpr DWORD kConsolePiece = 16 * 1024;

DWORD piece_for(HANDLE handle, std::size_t size) {
  const std::size_t most = ::GetFileType(handle) == FILE_TYPE_CHAR ? kConsolePiece : 1u << 30;
  return static_cast<DWORD>(std::min(size, most));
}

// A stream's number for a handle, above the standard ones (see
// platform_posix.cpp: a standard stream closed at start keeps its number).
int number_for(HANDLE handle, int& error) {
  int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (fd < 0) ::CloseHandle(handle);
  // Copies take the next free numbers; the low ones are let go once one is
  // above them.
  int low[kStandardError + 1];
  int held = 0;
  while (fd >= 0 && fd <= kStandardError) {
    low[held++] = fd;
    fd = ::_dup(fd);
  }
  while (held > 0) ::_close(low[--held]);
  if (fd < 0) error = EMFILE;
  return fd;
}

}  // namespace

// ---- The process ----------------------------------------------------------

void prepare_standard_streams() {
  // The C runtime's own streams (used for messages by some programs) write
  // LF as LF, as on every other system.
  for (int fd : {kStandardInput, kStandardOutput, kStandardError}) {
    if (valid(handle_of(fd))) ::_setmode(fd, _O_BINARY);
  }
}

void end_process(int status) noexcept { ::ExitProcess(static_cast<UINT>(status)); }

std::string_view path_separators() { return "/\\"; }

// The letters A to Z only: enough for the names the programs look for, which
// are ASCII, so a name that matches one here matches it on the disk too.
bool same_file_name(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::ranges::equal(a, b, {}, lower, lower);
}

// ---- Reading and writing --------------------------------------------------

bool is_terminal(int fd) {
  DWORD mode = 0;
  HANDLE handle = handle_of(fd);
  return valid(handle) && ::GetConsoleMode(handle, &mode) != 0;
}

std::size_t read_some(int fd, char* into, std::size_t room, int& error) noexcept {
  HANDLE handle = handle_of(fd);
  if (!valid(handle)) {
    error = EBADF;
    return 0;
  }
  for (;;) {
    DWORD got = 0;
    if (::ReadFile(handle, into, piece_for(handle, room), &got, nullptr)) return got;
    const DWORD code = ::GetLastError();
    // The writers of a pipe are gone: its end, as on POSIX.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return 0;
    if (code == ERROR_OPERATION_ABORTED) continue;  // an interrupted console read
    error = errno_for(code);
    return 0;
  }
}

std::size_t read_at(int fd, char* into, std::size_t room, std::int64_t offset, int& error) noexcept {
  HANDLE handle = handle_of(fd);
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  if (::ReadFile(handle, into, piece_for(handle, room), &got, &at)) return got;
  const DWORD code = ::GetLastError();
  if (code == ERROR_HANDLE_EOF) return 0;
  error = errno_for(code);
  return 0;
}

// ---- Standard input -------------------------------------------------------

InputKind input_kind(int fd) {
  HANDLE handle = handle_of(fd);
  if (!valid(handle)) return InputKind::Other;
  switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK: return offset_of(fd) >= 0 ? InputKind::File : InputKind::Other;
    case FILE_TYPE_PIPE: return InputKind::Pipe;
    default: return InputKind::Other;
  }
}

std::int64_t offset_of(int fd) noexcept {
  LARGE_INTEGER none{}, at{};
  if (!::SetFilePointerEx(handle_of(fd), none, &at, FILE_CURRENT)) return -1;
  return at.QuadPart;
}

void set_offset(int fd, std::int64_t offset) noexcept {
  LARGE_INTEGER to{};
  to.QuadPart = offset;
  ::SetFilePointerEx(handle_of(fd), to, nullptr, FILE_BEGIN);
}

// PeekNamedPipe copies what waits in a pipe without taking it out. Only
// waiting needs care: a pipe cannot be watched for bytes that arrive. Before
// the first byte, a read of zero bytes waits for one; otherwise, and where
// such a read returns at once, the pipe is looked at again at growing
// intervals (1 ms up to 50 ms).

PipeWindow::~PipeWindow() = default;

bool PipeWindow::open(int fd) {
  fd_ = fd;
  DWORD waiting = 0;
  if (::PeekNamedPipe(handle_of(fd), nullptr, 0, nullptr, &waiting, nullptr)) return true;
  return ::GetLastError() == ERROR_BROKEN_PIPE;  // the writers are gone already: looked at, it ends
}

long PipeWindow::look(char* into, std::size_t room, std::size_t seen) {
  HANDLE handle = handle_of(fd_);
  const DWORD most = static_cast<DWORD>(std::min<std::size_t>(room, LONG_MAX));
  for (;;) {
    if (!wait_for_more_than(seen)) return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : kCannotLook;
    DWORD copied = 0;
    if (!::PeekNamedPipe(handle, into, most, &copied, nullptr, nullptr)) {
      return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : kCannotLook;
    }
    if (copied > seen) return static_cast<long>(copied);
  }
}

// False when the pipe ends (the writers are gone: GetLastError() says
// ERROR_BROKEN_PIPE) or cannot be looked into.
bool PipeWindow::wait_for_more_than(std::size_t seen) {
  HANDLE handle = handle_of(fd_);
  DWORD pause_ms = 1;
  for (;;) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr)) return false;
    if (waiting > seen) return true;
    if (waiting == 0) {
      char none = 0;
      DWORD got = 0;
      if (!::ReadFile(handle, &none, 0, &got, nullptr)) return false;
      if (::PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr) && waiting > seen) {
        return true;
      }
    }
    ::Sleep(pause_ms);
    pause_ms = std::min<DWORD>(pause_ms * 2, 50);
  }
}

// ---- The output file ------------------------------------------------------

OpenedFile open_output_file(const std::string& name) {
  OpenedFile file;
  // Others may read and write the file meanwhile, as on POSIX; runs keep
  // each other out by the lock below.
  constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_WRITE, kShared, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  file.writable = valid(handle);
  if (!file.writable) {
    const DWORD code = ::GetLastError();
    file.error = errno_for(code);
    const DWORD attributes = ::GetFileAttributesA(name.c_str());
    if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        file.error = EISDIR;
        return file;
      }
      // A file that may be read but not written is opened all the same;
      // the error comes with the first record.
      handle = ::CreateFileA(name.c_str(), GENERIC_READ, kShared, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (!valid(handle)) return file;
  }
  file.regular = ::GetFileType(handle) == FILE_TYPE_DISK;
  file.fd = number_for(handle, file.error);
  return file;
}

// A lock on one byte far beyond any end the file will reach: Windows locks
// keep others from reading and writing the bytes they cover, and this one
// covers none, so it only keeps out a second run that asks for it too.
bool lock_against_other_runs(int fd, bool writable, long& holder) {
  holder = 0;  // Windows does not tell who holds a lock
  OVERLAPPED at{};
  at.Offset = 0xFFFFFFF0u;
  at.OffsetHigh = 0x7FFFFFFFu;
  DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (writable ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (::LockFileEx(handle_of(fd), flags, 0, 1, 0, &at)) return true;
  return ::GetLastError() != ERROR_LOCK_VIOLATION;  // no locks there: unguarded
}

// LockFileEx's lock is the handle's already.
bool lock_open_file_against_other_runs(int fd, long& holder) { return lock_against_other_runs(fd, true, holder); }

int rewind(int fd) {
  HANDLE handle = handle_of(fd);
  if (::GetFileType(handle) != FILE_TYPE_DISK) return ESPIPE;
  LARGE_INTEGER start{};
  return ::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) ? 0 : last_errno();
}

int cut_at(int fd, std::int64_t size) noexcept {
  HANDLE handle = handle_of(fd);
  if (::GetFileType(handle) != FILE_TYPE_DISK) return EINVAL;
  LARGE_INTEGER none{}, position{}, to{};
  if (!::SetFilePointerEx(handle, none, &position, FILE_CURRENT)) return last_errno();
  to.QuadPart = size;
  int error = 0;
  if (!::SetFilePointerEx(handle, to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
    error = last_errno();
  }
  ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
  return error;
}

int close(int fd) noexcept { return ::_close(fd) == 0 ? 0 : EIO; }

// ---- Files read back --------------------------------------------------------

int open_for_reading(const std::string& path, int& error) {
  constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // FILE_FLAG_BACKUP_SEMANTICS opens a directory too, so that it can be
  // named as one.
  HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, kShared, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (!valid(handle)) {
    error = last_errno();
    return -1;
  }
  return number_for(handle, error);
}

FileKind kind_of(int fd, int& error) {
  HANDLE handle = handle_of(fd);
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileType(handle) != FILE_TYPE_DISK) return FileKind::Other;
  if (!::GetFileInformationByHandle(handle, &information)) {
    error = last_errno();
    return FileKind::Other;
  }
  if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Directory;
  return FileKind::Regular;
}

bool exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool is_regular_file(const std::string& path) {
  int error = 0;
  return kind_at(path, error) == FileKind::Regular && error == 0;
}

FileKind kind_at(const std::string& path, int& error) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = last_errno();
    return FileKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Directory;
  return (attributes & FILE_ATTRIBUTE_DEVICE) ? FileKind::Other : FileKind::Regular;
}

// ---- Files written whole ----------------------------------------------------

namespace {

FileLook look_through(HANDLE handle) {
  FileLook look;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!valid(handle)) return look;
  look.found = true;
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &information)) return look;
  look.kind = information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Directory : FileKind::Regular;
  look.identity = {information.dwVolumeSerialNumber,
                   (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return look;
}

// The file a link at `path` ends at ("\\?\C:\..."), or `path` itself.
std::string final_path(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  HANDLE handle = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!valid(handle)) return path;
  char name[MAX_PATH * 4];
  const DWORD length = ::GetFinalPathNameByHandleA(handle, name, sizeof name, FILE_NAME_NORMALIZED);
  ::CloseHandle(handle);
  return length > 0 && length < sizeof name ? std::string(name, length) : path;
}

}  // namespace

FileLook look_at(const std::string& path) {
  // Without access rights: a device or a pipe is looked at, not opened for use.
  HANDLE handle = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const FileLook look = look_through(handle);
  if (valid(handle)) ::CloseHandle(handle);
  return look;
}

FileLook look_at(int fd) { return look_through(handle_of(fd)); }

bool replace_file(const std::string& path, std::string_view bytes, std::string& error) {
  const FileLook existing = look_at(path);
  if (existing.found && existing.kind != FileKind::Regular) {
    error = path + (existing.kind == FileKind::Directory ? ": a folder" : ": a device") +
            ", not a regular file; left as it is";
    return false;
  }
  const std::string target = existing.found ? final_path(path) : path;
  // A name of this run alone, so that runs writing one page at once never
  // share it. Messages name the page as given.
  std::string part;
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && !valid(handle); ++attempt) {
    part = target;
    part.append(".").append(std::to_string(::GetCurrentProcessId()));
    if (attempt > 0) part.append("-").append(std::to_string(attempt));
    part.append(".part");
    handle = ::CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!valid(handle) && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!valid(handle)) {
    error = path + ": " + std::strerror(last_errno());
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    const bool wrote = ::WriteFile(handle, bytes.data() + done, piece_for(handle, bytes.size() - done), &put,
                                   nullptr) != 0;
    if (!wrote || put == 0) {
      error = path + ": " + std::strerror(wrote ? ENOSPC : last_errno());
      ::CloseHandle(handle);
      ::DeleteFileA(part.c_str());
      return false;
    }
    done += put;
  }
  if (!::FlushFileBuffers(handle)) {
    error = path + ": " + std::strerror(last_errno());
    ::CloseHandle(handle);
    ::DeleteFileA(part.c_str());
    return false;
  }
  if (!::CloseHandle(handle) ||
      !::MoveFileExA(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = path + ": " + std::strerror(last_errno());
    ::DeleteFileA(part.c_str());
    return false;
  }
  return true;
}

// ---- The end signals --------------------------------------------------------
//
// Ctrl-C and Ctrl-Break in the console, its window being closed, the user
// logging off and the system shutting down. Windows reports each on a thread
// of its own while the program's thread runs on; that thread waits while
// the end signals are held, then stops the program's thread where it is, so
// that the end duties see the same still state as a POSIX signal handler,
// and ends the process as an unhandled Ctrl-C would.

namespace {

EndDuties g_duties = nullptr;
HANDLE g_program_thread = nullptr;
SRWLOCK g_hold = SRWLOCK_INIT;
int g_hold_depth = 0;  // the program's thread alone changes it

BOOL WINAPI on_console_event(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  ::AcquireSRWLockExclusive(&g_hold);  // never released: the process ends here
  if (g_program_thread != nullptr) ::SuspendThread(g_program_thread);
  if (g_duties != nullptr) g_duties();
  ::ExitProcess(STATUS_CONTROL_C_EXIT);
  return TRUE;
}

}  // namespace

void catch_end_signals(EndDuties duties) {
  g_duties = duties;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                    &g_program_thread, 0, FALSE, DUPLICATE_SAME_ACCESS);
  // A process started with Ctrl-C ignored is not told of it: it stays so.
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
}

void hold_end_signals() noexcept {
  if (g_hold_depth++ == 0) ::AcquireSRWLockExclusive(&g_hold);
}

void release_end_signals() noexcept {
  if (--g_hold_depth == 0) ::ReleaseSRWLockExclusive(&g_hold);
}

Written write_all(int fd, const char* bytes, std::size_t size) noexcept {
  Written written;
  HANDLE handle = handle_of(fd);
  if (!valid(handle)) {
    written.error = EBADF;
    return written;
  }
  while (written.count < size) {
    DWORD put = 0;
    if (!::WriteFile(handle, bytes + written.count, piece_for(handle, size - written.count), &put, nullptr)) {
      written.error = last_errno();
      break;
    }
    if (put == 0) break;  // nothing taken, nothing said
    written.count += put;
  }
  return written;
}

}  // namespace platform
