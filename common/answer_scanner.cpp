#include "common/answer_scanner.h"

#include <algorithm>

#include "format/error_codes.h"
#include "format/number_parse.h"

namespace common {

using namespace answer_bytes;

namespace {

// The token finder: how many bytes at the start of `bytes` belong to the
// token there. All of them when none ends it: the token may then go on
// beyond them.
std::size_t token_length(std::string_view bytes) {
  std::size_t length = 0;
  while (length < bytes.size() && !ends_token(bytes[length])) ++length;
  return length;
}

}  // namespace

std::int64_t AnswerScanner::failed_line(int code) {
  const std::int64_t line = input_.line_number();
  if (line == 0) return -1;  // typed
  if (code == format::errors::kEndOfInput) return input_.at_line_start() ? line - 1 : line;
  return answer_line_ >= 0 ? answer_line_ : line;
}

void AnswerScanner::finish_line() {
  if (rest_of_line_pending_) {
    input_.skip_line();
    rest_of_line_pending_ = false;
  }
}

AnswerScanner::Rest AnswerScanner::take_rest_of_line() {
  Rest rest;
  if (!rest_of_line_pending_) return rest;
  rest_of_line_pending_ = false;
  rest.line = input_.line_number();
  rest.column = input_.column();
  for (;;) {
    const int c = input_.peek();
    if (c == InputStream::kEnd) break;
    input_.advance();
    if (c == '\n') break;
    if (rest.bytes.size() < kKeptRest) rest.bytes.push_back(static_cast<char>(c));
  }
  return rest;
}

std::int64_t AnswerScanner::next_unread_line() {
  if (input_.line_number() == 0) return 0;  // typed: the lines to come are not there yet
  finish_line();
  bool line_start = input_.at_line_start();
  for (;;) {
    const int c = input_.peek();
    if (c == InputStream::kEnd) return 0;
    const Class kind = class_of(static_cast<char>(c));
    if (kind == kBlank || kind == kLineEnd) {
      input_.advance();
      line_start = kind == kLineEnd;
      continue;
    }
    if (kind == kEndMark && line_start) {  // a line of Ctrl-Z ends the answers
      const int next = input_.peek_next();
      if (next == '\n' || next == '\r' || next == InputStream::kEnd) return 0;
    }
    return input_.line_number();
  }
}

// A line holding only Ctrl-Z marks the end of input, as in files that carry
// that old end-of-file byte. (Typed lines are checked as they arrive.)
void AnswerScanner::check_end_of_input_line() {
  if (input_.peek() == kCtrlZ) {
    int next = input_.peek_next();
    if (next == '\n' || next == '\r' || next == InputStream::kEnd) {
      throw AnswerError{format::errors::kEndOfInput};
    }
  }
}

// Every read takes its input from a fresh line. The token and the byte that
// ends it are found in the buffer, or collected across its refills; then
// comes the repeat count, and the conversion.
template <auto parse, typename Number>
void AnswerScanner::read_number(Number& value) {
  finish_line();
  last_token_ = {};
  answer_line_ = -1;
  answer_column_ = -1;
  if (!at_token()) return;  // a null value
  answer_line_ = input_.line_number();
  answer_column_ = input_.column();
  std::string_view token = input_.buffered();
  const std::size_t length = token_length(token);
  if (length < token.size() && length <= kMaxTokenLength) {
    pass_token(length, token[length]);
    token = token.substr(0, length);
  } else {
    token = collect_token();
  }
  last_token_ = token;
  const std::string_view text = value_after_repeat_count(token);
  if (text.empty()) return;  // "r*" alone: null values
  const auto parsed = parse(text);
  if (parsed.error != 0) throw AnswerError{parsed.error};
  value = parsed.value;
}

void AnswerScanner::read_integer_fallback(std::int32_t& value) { read_number<format::parse_integer>(value); }
void AnswerScanner::read_real_fallback(float& value) { read_number<format::parse_real>(value); }

// Passes over blanks and empty lines (no question is repeated) to the first
// byte of the value's token, which then stands in the buffer; false for a
// null value, its separator consumed. A read begins at a line start, and so
// does the line after each line end.
bool AnswerScanner::at_token() {
  bool line_start = true;
  for (;;) {
    const int c = input_.peek();
    if (c == InputStream::kEnd) throw AnswerError{format::errors::kEndOfInput};
    switch (class_of(static_cast<char>(c))) {
      case kBlank:
        input_.advance();
        line_start = false;
        break;
      case kLineEnd:
        input_.advance();
        line_start = true;
        break;
      case kSeparator:  // a null value, or the end of the read
        input_.advance();
        rest_of_line_pending_ = true;
        return false;
      case kQuote: {
        // A failing answer's line counts as read: at the end of the run the
        // next program reads on from the line after it.
        rest_of_line_pending_ = true;
        const std::string_view rest = input_.buffered();
        last_token_ = rest.substr(0, std::min(token_length(rest), kMaxTokenLength));
        throw AnswerError{format::errors::kQuotedAnswer};
      }
      case kEndMark:
        if (line_start) check_end_of_input_line();
        return true;
      default:
        return true;
    }
  }
}

// A token that reaches the end of the buffer, taken piece by piece as the
// buffer is refilled, into token_; consumed with the byte that ends it.
std::string_view AnswerScanner::collect_token() {
  token_.clear();
  for (;;) {
    const std::string_view rest = input_.buffered();
    const std::size_t length = token_length(rest);
    if (token_.size() + length > kMaxTokenLength) {
      rest_of_line_pending_ = true;
      token_.append(rest.data(), kMaxTokenLength - token_.size());
      last_token_ = token_;
      throw AnswerError{format::errors::kAnswerTooLong};
    }
    token_.append(rest.data(), length);
    input_.advance(length);
    if (length < rest.size() || input_.peek() == InputStream::kEnd) break;
  }
  if (const int end = input_.peek(); end != InputStream::kEnd) pass_token(0, static_cast<char>(end));
  return token_;
}

// "r*value": the first item takes the value, the rest of the repeat is
// dropped; "r*" alone gives null values.
std::string_view AnswerScanner::value_after_repeat_count(std::string_view token) {
  const std::size_t star = token.find('*');
  if (star == std::string_view::npos || star == 0) return token;
  const auto count = format::parse_integer(token.substr(0, star));
  if (count.error != 0) throw AnswerError{count.error};
  if (count.value == 0) throw AnswerError{format::errors::kRepeatCountZero};
  if (count.value < 0) throw AnswerError{format::errors::kIntegerInvalid};
  const std::string_view value = token.substr(star + 1);
  if (value.find('*') != std::string_view::npos) throw AnswerError{format::errors::kRepeatCountTwice};
  if (!value.empty() && class_of(value[0]) == kQuote) throw AnswerError{format::errors::kQuotedAnswer};
  return value;
}

void AnswerScanner::read_text(char* text, std::size_t length) {
  finish_line();
  last_token_ = {};
  answer_line_ = -1;
  check_end_of_input_line();
  if (input_.peek() == InputStream::kEnd) throw AnswerError{format::errors::kEndOfInput};
  std::size_t n = 0;
  // CRs belong to the line end when nothing but CRs follows them on the
  // line (CR LF, CR CR LF); inside the line each is written as a blank, so
  // that no record ever holds one.
  std::size_t carriage_returns = 0;
  for (;;) {
    const int c = input_.peek();
    if (c == InputStream::kEnd) break;
    if (c == '\n') {
      input_.advance();
      break;
    }
    if (c == '\r') {
      input_.advance();
      ++carriage_returns;
      continue;
    }
    for (; carriage_returns > 0 && n < length; --carriage_returns) text[n++] = ' ';
    carriage_returns = 0;
    if (n == length) {  // the text is full: from this byte on the line is discarded
      rest_of_line_pending_ = true;
      break;
    }
    input_.advance();
    text[n++] = static_cast<char>(c);
  }
  for (; n < length; ++n) text[n] = ' ';
}

}  // namespace common
