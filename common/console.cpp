#include "common/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/answer_report.h"
#include "format/error_codes.h"
#include "platform/platform.h"
#include "common/process_end.h"
#include "platform/write_all.h"

namespace common {
namespace {

std::string_view message_for(int code) {
  switch (code) {
    case format::errors::kIntegerOverflow: return "number too large for an integer answer";
    case format::errors::kIntegerInvalid: return "an integer answer must be a whole number";
    case format::errors::kRealBeyondDouble: return "number far too large for a real answer";
    case format::errors::kRealInvalid: return "a real answer must be a decimal number";
    case format::errors::kRealBeyondSingle: return "number too large for a real answer";
    case format::errors::kSecondRadixMark: return "a number may contain only one #";
    case format::errors::kRadixOutOfRange: return "the radix before # must be from 2 to 36";
    case format::errors::kTypedLineTooLong: return "line longer than 130 characters";
    case format::errors::kAnswerTooLong: return "answer longer than 260 characters";
    case format::errors::kEndOfInput: return "end of input: no more answers";
    case format::errors::kRepeatCountZero: return "a repeat count must not be 0";
    case format::errors::kRepeatCountTwice: return "only one repeat count is allowed";
    case format::errors::kQuotedAnswer: return "a number was expected, not text in quotes or parentheses";
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

Console::Console()
    : Console(platform::kStandardInput, platform::kStandardOutput,
              platform::is_terminal(platform::kStandardInput) &&
                  platform::is_terminal(platform::kStandardOutput)) {}

Console::Console(int in_fd, int out_fd, bool shared_terminal)
    : out_fd_(out_fd),
      shared_(shared_terminal),
      out_is_terminal_(out_fd != kNullSink && platform::is_terminal(out_fd)),
      out_(2 * kFlushThreshold),
      // The typed-line rules hold whenever the answers are typed, even with
      // the output redirected; a file or pipe is read in blocks.
      in_(in_fd, platform::is_terminal(in_fd), [] { process::flush_everything(); }),
      scanner_(in_) {
  saved_question_.reserve(2 * kLineRoom);  // a prompt line, kept without allocating
  read_usual_answers_at_once();
  process::attach_console(this);
}

Console::Console(std::string_view answers, int out_fd)
    : out_fd_(out_fd),
      shared_(false),
      out_is_terminal_(out_fd != kNullSink && platform::is_terminal(out_fd)),
      out_(2 * kFlushThreshold),
      in_(answers),
      scanner_(in_) {
  saved_question_.reserve(2 * kLineRoom);
  read_usual_answers_at_once();
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
  const std::size_t begin = out_.size();
  if (!record.empty()) out_.append(record.substr(1));
  last_line_ = {begin, out_.size(), true};
  line_open_ = true;
  if (out_.size() >= kFlushThreshold) flush();
}

bool ConsoleLines::add(std::initializer_list<format::Item> items) {
  const std::span<const format::Item> list(items.begin(), items.size());
  if (!Console::fits_one_record(list)) return false;
  char text[Console::kLineRoom + 2] = {'\r', '\n'};
  const char* end = Console::put_simple_line(text + 2, list);
  last_line_at_ = shown_.size() + 2;
  shown_.append(text, static_cast<std::size_t>(end - text));
  return true;
}

void Console::write_line_fallback(std::span<const format::Item> items) {
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
  for (const format::Item& item : items) {
    if (item.kind == format::Item::Kind::Integer) {
      int width = after_number ? kIntegerWidth + 1 : kIntegerWidth;
      if (width >= room) {
        next_record();
        width = kIntegerWidth;
      }
      format::append_integer_field(record, item.integer, width);
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

std::string Console::question_text() const {
  auto text_of = [this](const ShownLine& line) {
    if (!line.held) return std::string_view(saved_question_);
    return std::string_view(out_.data() + line.begin, line.end - line.begin);
  };
  switch (asked_) {
    case Asked::Cell:
      return "row " + std::to_string(cell_.row) + ", column " + std::to_string(cell_.column) +
             " of " + std::string(question_of_prompt(cell_.array)) + " of layer " +
             std::to_string(cell_.layer);
    case Asked::MarkedLine: return std::string(question_of_prompt(text_of(marked_)));
    case Asked::LastLine: break;
  }
  return std::string(question_of_prompt(text_of(last_line_)));
}

void Console::answer_failed(int code) {
  std::string condition;
  const bool unreadable = code == format::errors::kEndOfInput && in_.read_error() != 0;
  if (code == format::errors::kIntegerInvalid || code == format::errors::kRealInvalid) {
    condition = unexpected_byte(scanner_.last_token());
  } else if (unreadable) {
    condition = "standard input cannot be read: ";
    condition += std::strerror(in_.read_error());
  }
  if (condition.empty()) condition = message_for(code);
  const std::string question = question_text();
  FailedAnswer failed{.condition = condition,
                      .answer = scanner_.last_token(),
                      .question = question,
                      .line = unreadable ? -1 : scanner_.failed_line(code),
                      .at_end = code == format::errors::kEndOfInput};
  // For a caller that runs the session in-process: the same message
  // without the line, and the answer's place.
  FailedAnswer unplaced = failed;
  unplaced.line = -1;
  std::int64_t column = -1;
  if (failed.line >= 0 && !failed.at_end) {
    // The token's first byte; an answer refused before its token was taken
    // (a quote) stands where the input stands.
    column = scanner_.answer_line() == failed.line ? scanner_.answer_column() : in_.column();
  }
  const process::AnswerPlace place{.message = failed_answer_message(unplaced),
                                   .question = question,
                                   .line = failed.line,
                                   .column = column,
                                   .at_end = failed.at_end};
  process::runtime_error(code, "READ", "CON", failed_answer_message(failed), &place);
}

namespace {

// Whether a byte may begin a value, or a separator that leads to one: the
// rest of a line that begins so after an answer is one answer too many.
bool may_begin_answer(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == '#' || c == ',' ||
         c == '/' || c == '*';
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

// The rest of the answer's line, consumed now and told to the watcher
// unless it is blank or a note: text that follows the answer after blanks
// and cannot begin a value (the answers gwinspect writes carry one).
void Console::tell_discarded_rest(std::size_t text_length) {
  const AnswerScanner::Rest rest = scanner_.take_rest_of_line();
  std::string_view text = rest.bytes;
  std::int64_t column = rest.column;
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  if (text_length == 0) {
    std::size_t blanks = 0;
    while (blanks < text.size() && is_blank(text[blanks])) ++blanks;
    if (blanks > 0 && blanks < text.size() && !may_begin_answer(text[blanks])) return;
    std::size_t lead = 0;
    while (lead < text.size() && (is_blank(text[lead]) || text[lead] == ',' || text[lead] == '/')) ++lead;
    text.remove_prefix(lead);
    column += static_cast<std::int64_t>(lead);
  } else if (text.find_first_not_of(" \t\r") == std::string_view::npos) {
    return;  // only blanks beyond the field
  }
  if (text.empty()) return;
  const std::string question = question_text();
  watcher_->rest_discarded({.line = rest.line,
                            .column = column,
                            .rest = text,
                            .question = question,
                            .answer = text_length == 0 ? scanner_.last_token() : std::string_view(),
                            .text_length = text_length});
}

// Every read: where input and output share one state, the owed line end
// first and none owed after it. An answer that cannot be read ends the run
// here, with the report.
template <typename Read>
void Console::read_answer(Read read, std::size_t text_length) {
  if (shared_ && line_open_) out_.append("\r\n");
  try {
    read();
  } catch (const AnswerError& e) {
    answer_failed(e.code);
  }
  if (watcher_ != nullptr && scanner_.rest_of_line_pending()) tell_discarded_rest(text_length);
  asked_ = Asked::LastLine;
  if (shared_) line_open_ = false;
}

// Redirected input, not watched: the console state is left alone and no
// answer's place is needed, so the usual answer is read at once.
void Console::read_usual_answers_at_once() { scanner_.read_usual_answers_at_once(!shared_ && watcher_ == nullptr); }

void Console::read_integer(std::int32_t& value) {
  read_answer([&] { scanner_.read_integer(value); }, 0);
}

void Console::read_real(float& value) {
  read_answer([&] { scanner_.read_real(value); }, 0);
}

void Console::read_text(char* text, std::size_t length) {
  read_answer([&] { scanner_.read_text(text, length); }, length);
}

void Console::stop() {
  if (line_open_) out_.append("\r\n");
  out_.append("Stop - Program terminated.\r\n");
  process::end_run(0);
}

// Returns 0, or the errno of a failed write (the rest is then dropped).
int Console::write_out() {
  // The question still to be answered keeps its text when its line goes.
  const ShownLine& question = asked_ == Asked::MarkedLine ? marked_ : last_line_;
  if (asked_ != Asked::Cell && question.held) {
    saved_question_.assign(out_.data() + question.begin, question.end - question.begin);
  }
  last_line_.held = false;
  marked_.held = false;
  int err = 0;
  if (!output_failed_ && out_fd_ != kNullSink) {
    const platform::Written written = platform::write_all(out_fd_, out_.data(), out_.size());
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
    process::runtime_error(format::errors::kWriteFailed, "WRITE", "CON", message);
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
  if (out_is_terminal_ && line_open_) platform::write_all(out_fd_, "\r\n", 2);
  if (in_.gives_back()) in_.give_back_at_signal(scanner_.rest_of_line_pending());
}

}  // namespace common
