// Runs programs one after another on one standard input, as a Windows
// command interpreter does for `(Morvek & Cindral & Quillet) < session.txt`,
// or, with --pipe, for `type session.txt | (Morvek & Cindral & Quillet)`:
//
//   run_in_turn [--pipe] ANSWERS PROGRAM...
//
// From a file, every program inherits the one open file, at the offset the
// one before left. Through a pipe, a thread of this program writes the
// answers into it in small pieces with pauses, so that the programs find
// lines split across writes and an empty pipe to wait on. After each program
// "status N" goes to standard output; after the last, what is left of the
// input is copied to the file `rest`, which shows exactly what the programs
// gave back. Used by compare_under_wine.sh; built for Windows only.
//
// A program the system cannot start (Wine, under load, sometimes refuses a
// start that works a moment later) is tried again a few times, with growing
// pauses. When it still cannot be started, or the answers cannot be opened,
// the harness itself failed, not a program: run_in_turn says why on
// standard error and ends with kHarnessFailed, which no program gives.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kHarnessFailed = 125;
constexpr int kStartTries = 5;

struct Feed {
  HANDLE pipe;
  std::string bytes;
};

DWORD WINAPI write_in_pieces(void* argument) {
  auto* feed = static_cast<Feed*>(argument);
  std::size_t at = 0;
  for (unsigned piece = 0; at < feed->bytes.size(); ++piece) {
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(97 + piece % 7 * 211, feed->bytes.size() - at));
    DWORD put = 0;
    if (!WriteFile(feed->pipe, feed->bytes.data() + at, size, &put, nullptr)) break;  // all readers gone
    at += put;
    if (piece % 16 == 15) Sleep(2);
  }
  CloseHandle(feed->pipe);
  return 0;
}

bool read_whole(const char* path, std::string& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char block[65536];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
  CloseHandle(file);
  return true;
}

// The system's words for `error`, without the line end it adds.
std::string reason(DWORD error) {
  char text[512] = {};
  DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                              sizeof text, nullptr);
  while (size > 0 && (text[size - 1] == '\n' || text[size - 1] == '\r' || text[size - 1] == ' ')) --size;
  std::string words(text, size);
  if (words.empty()) words = "system error";
  return words + " (" + std::to_string(error) + ")";
}

// Starts `program` on the given standard streams, trying again after a pause
// when the start fails. False, with the last failure in `error`, when every
// try failed.
bool start_program(const char* program, STARTUPINFOA& start, PROCESS_INFORMATION& process, DWORD& error) {
  for (int tries = 1;; ++tries) {
    std::vector<char> line(1, '"');
    line.insert(line.end(), program, program + std::strlen(program));
    line.push_back('"');
    line.push_back('\0');
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
      return true;
    }
    error = GetLastError();
    if (tries == kStartTries) return false;
    Sleep(500u << (tries - 1));  // 0.5, 1, 2, 4 s
  }
}

void say(const std::string& text) {
  DWORD put = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool piped = argc > 1 && std::string(argv[1]) == "--pipe";
  if (piped) ++first;
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: run_in_turn [--pipe] ANSWERS PROGRAM...\n");
    return kHarnessFailed;
  }
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE input = INVALID_HANDLE_VALUE;
  HANDLE writer = nullptr;
  Feed feed{};
  if (piped) {
    if (!read_whole(argv[first], feed.bytes) || !CreatePipe(&input, &feed.pipe, &inherited, 0)) {
      std::fprintf(stderr, "run_in_turn: cannot feed %s through a pipe: %s\n", argv[first],
                   reason(GetLastError()).c_str());
      return kHarnessFailed;
    }
    SetHandleInformation(feed.pipe, HANDLE_FLAG_INHERIT, 0);
    writer = CreateThread(nullptr, 0, write_in_pieces, &feed, 0, nullptr);
  } else {
    input = CreateFileA(argv[first], GENERIC_READ, FILE_SHARE_READ, &inherited, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "run_in_turn: cannot open %s: %s\n", argv[first], reason(GetLastError()).c_str());
      return kHarnessFailed;
    }
  }

  for (int i = first + 1; i < argc; ++i) {
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = input;
    start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    DWORD error = 0;
    if (!start_program(argv[i], start, process, error)) {
      std::fprintf(stderr, "run_in_turn: cannot start %s (%d tries): %s\n", argv[i], kStartTries,
                   reason(error).c_str());
      return kHarnessFailed;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    say("status " + std::to_string(status) + "\n");
  }

  std::string rest;
  char block[65536];
  DWORD got = 0;
  while (ReadFile(input, block, sizeof block, &got, nullptr) && got > 0) rest.append(block, got);
  CloseHandle(input);
  if (writer != nullptr) {
    WaitForSingleObject(writer, INFINITE);
    CloseHandle(writer);
  }
  HANDLE out = CreateFileA("rest", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(out, rest.data(), static_cast<DWORD>(rest.size()), &put, nullptr);
  CloseHandle(out);
  return 0;
}
