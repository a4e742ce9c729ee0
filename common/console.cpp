#include "console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "error_codes.h"
#include "process_end.h"
#include "write_all.h"

namespace builders {
namespace {

std::string_view message_for(int code) {
  switch (code) {
    case errors::kIntegerOverflow: return "number too large for an integer answer";
    case errors::kIntegerInvalid: return "an integer answer must be a whole number";
    case errors::kRealBeyondDouble: return "number far too large for a real answer";
    case errors::kRealInvalid: return "a real answer must be a decimal number";
    case errors::kRealBeyondSingle: return "number too large for a real answer";
    case errors::kSecondRadixMark: return "a number may contain only one #";
    case errors::kRadixOutOfRange: return "the radix before # must be from 2 to 36";
    case errors::kTypedLineTooLong: return "line longer than 130 characters";
    case errors::kAnswerTooLong: return "answer longer than 260 characters";
    case errors::kEndOfInput: return "end of input: no more answers";
    case errors::kRepeatCountZero: return "a repeat count must not be 0";
    case errors::kRepeatCountTwice: return "only one repeat count is allowed";
    case errors::kQuotedAnswer: return "a number was expected, not text in quotes or parentheses";
    default: return "the answer cannot be read";
  }
}

// A byte that no number is written with: a control byte, or one of a
// character beyond ASCII (a byte-order mark, a non-breaking space). Named,
// since it is often invisible where the answers were written. Empty when the
// token holds none.
std::string unexpected_byte(std::string_view token) {
  for (std::size_t i = 0; i < token.size(); ++i) {
    const auto byte = static_cast<unsigned char>(token[i]);
    if (byte >= 0x20 && byte < 0x7F) continue;
    char text[64];
    std::snprintf(text, sizeof text, "unexpected byte 0x%02X %s the answer", byte,
                  i == 0 ? "at the start of" : "in");
    return text;
  }
  return {};
}

}  // namespace

Console::Console() : Console(STDIN_FILENO, STDOUT_FILENO, isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {}

Console::Console(int in_fd, int out_fd, bool shared_terminal)
    : out_fd_(out_fd),
      shared_(shared_terminal),
      out_is_terminal_(isatty(out_fd) != 0),
      out_(2 * kFlushThreshold),
      // The typed-line rules hold whenever the answers are typed, even with
      // the output redirected; a file or pipe is read in blocks.
      in_(in_fd, isatty(in_fd) != 0, [] { process::flush_everything(); }),
      scanner_(in_) {
  process::attach_console(this);
}

Console::~Console() { process::detach_console(this); }

void Console::show_record(std::string_view record) {
  char control = record.empty() ? ' ' : record[0];
  switch (control) {
    case '0': out_.append(line_open_ ? "\r\n\r\n" : "\r\n"); break;
    case '1': out_.append("\r\n\f\r \r"); break;
    case '+': out_.push_back('\r'); break;
    default:
      if (line_open_) out_.append("\r\n");
      break;
  }
  if (!record.empty()) out_.append(record.substr(1));
  line_open_ = true;
  if (out_.size() >= kFlushThreshold) flush();
}

bool ConsoleLines::add(std::initializer_list<Item> items) {
  const std::span<const Item> list(items.begin(), items.size());
  if (!Console::fits_one_record(list)) return false;
  char text[Console::kLineRoom + 2] = {'\r', '\n'};
  const char* end = Console::put_simple_line(text + 2, list);
  shown_.append(text, static_cast<std::size_t>(end - text));
  return true;
}

void Console::write_line(std::span<const Item> items) {
  if (fits_one_record(items)) {
    write_simple_line(items);
    return;
  }
  std::string& record = scratch_;
  record.clear();
  bool blank_pending = true;
  int room = static_cast<int>(kLineRoom);
  bool after_number = false;
  auto next_record = [&] {
    show_record(record);
    record.clear();
    blank_pending = true;
    room = static_cast<int>(kLineRoom);
    after_number = false;
  };
  for (const Item& item : items) {
    if (item.kind == Item::Kind::Integer) {
      int width = after_number ? kIntegerWidth + 1 : kIntegerWidth;
      if (width >= room) {
        next_record();
        width = kIntegerWidth;
      }
      append_integer_field(record, item.integer, width);
      blank_pending = false;  // the number's own leading blank takes its place
      room -= width;
      after_number = true;
      continue;
    }
    std::string_view text = item.text;
    for (;;) {
      if (blank_pending) {
        record.push_back(' ');
        blank_pending = false;
      }
      if (static_cast<int>(text.size()) < room) {
        record.append(text);
        room -= static_cast<int>(text.size());
        break;
      }
      std::size_t piece = static_cast<std::size_t>(room - 1);
      record.append(text.substr(0, piece));
      text.remove_prefix(piece);
      next_record();
    }
    after_number = false;
  }
  if (blank_pending) record.push_back(' ');
  show_record(record);
}

void Console::answer_failed(int code) {
  std::string message;
  if (code == errors::kIntegerInvalid || code == errors::kRealInvalid) {
    message = unexpected_byte(scanner_.last_token());
  } else if (code == errors::kEndOfInput && in_.read_error() != 0) {
    message = "standard input cannot be read: ";
    message += std::strerror(in_.read_error());
  }
  if (message.empty()) message = message_for(code);
  process::runtime_error(code, "READ", "CON", message);
}

// Every read: where input and output share one state, the owed line end
// first and none owed after it. An answer that cannot be read ends the run
// here, with the report.
template <typename Read>
void Console::read_answer(Read read) {
  if (shared_ && line_open_) out_.append("\r\n");
  try {
    read();
  } catch (const AnswerError& e) {
    answer_failed(e.code);
  }
  if (shared_) line_open_ = false;
}

void Console::read_integer_in_full(std::int32_t& value) {
  read_answer([&] { scanner_.read_integer(value); });
}

void Console::read_real_in_full(float& value) {
  read_answer([&] { scanner_.read_real(value); });
}

void Console::read_text(char* text, std::size_t length) {
  read_answer([&] { scanner_.read_text(text, length); });
}

void Console::stop() {
  if (line_open_) out_.append("\r\n");
  out_.append("Stop - Program terminated.\r\n");
  process::end_run(0);
}

// Returns 0, or the errno of a failed write (the rest is then dropped).
int Console::write_out() {
  int err = 0;
  if (!output_failed_) {
    const Written written = write_all(out_fd_, out_.data(), out_.size());
    if (written.count < out_.size()) {
      output_failed_ = true;  // never tried again, not even at the end
      err = written.error != 0 ? written.error : EIO;
    }
  }
  out_.clear();
  return err;
}

void Console::flush() {
  if (int err = write_out(); err != 0) {
    std::string message = "standard output cannot be written: ";
    message += std::strerror(err);
    process::runtime_error(errors::kWriteFailed, "WRITE", "CON", message);
  }
}

void Console::flush_quietly() { write_out(); }

void Console::finish(bool report_errors) {
  if (line_open_) out_.append("\r\n");
  if (report_errors) {
    flush();
  } else {
    write_out();
  }
  if (in_.gives_back()) {  // another program may read on from here
    scanner_.finish_line();
    in_.give_back_unread();
  }
}

void Console::end_at_signal() noexcept {
  if (out_is_terminal_ && line_open_) write_all(out_fd_, "\r\n", 2);
  if (in_.gives_back()) in_.give_back_at_signal(scanner_.rest_of_line_pending());
}

}  // namespace builders
