#include "answer_scanner.h"

#include "error_codes.h"
#include "number_parse.h"

namespace builders {
namespace {

constexpr int kCtrlZ = 0x1A;

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }

bool ends_token(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/' ||
         c == InputStream::kEnd;
}

}  // namespace

void AnswerScanner::finish_line() {
  if (rest_of_line_pending_) {
    input_.skip_line();
    rest_of_line_pending_ = false;
  }
}

// Every read takes its input from a fresh line.
void AnswerScanner::start_read() {
  finish_line();
  check_end_of_input_line();
}

// A line holding only Ctrl-Z marks the end of input, as in files that carry
// that old end-of-file byte. (Typed lines are checked as they arrive.)
void AnswerScanner::check_end_of_input_line() {
  if (input_.peek() == kCtrlZ) {
    int next = input_.peek_next();
    if (next == '\n' || next == '\r' || next == InputStream::kEnd) {
      throw AnswerError{errors::kEndOfInput};
    }
  }
}

AnswerScanner::Value AnswerScanner::scan_value() {
  start_read();
  int c;
  for (;;) {
    c = input_.peek();
    if (c == InputStream::kEnd) throw AnswerError{errors::kEndOfInput};
    if (is_blank(c)) {
      input_.advance();
    } else if (c == '\n') {
      input_.advance();
      check_end_of_input_line();
    } else {
      break;
    }
  }

  if (c == ',' || c == '/') {  // a null value, or the end of the read
    input_.advance();
    rest_of_line_pending_ = true;
    return {};
  }
  // A failing answer's line counts as read: at the end of the run the next
  // program reads on from the line after it.
  if (c == '\'' || c == '"' || c == '(') {
    rest_of_line_pending_ = true;
    throw AnswerError{errors::kQuotedAnswer};
  }

  token_.clear();
  while (!ends_token(c)) {
    if (token_.size() == kMaxTokenLength) {
      rest_of_line_pending_ = true;
      throw AnswerError{errors::kAnswerTooLong};
    }
    token_.push_back(static_cast<char>(c));
    input_.advance();
    c = input_.peek();
  }
  if (c == '\n') {
    input_.advance();  // the line end that ends the token consumes the line
  } else {
    rest_of_line_pending_ = c != InputStream::kEnd;
  }

  std::string_view token(token_);
  std::size_t star = token.find('*');
  if (star == std::string_view::npos || star == 0) return {false, token};

  // r*value: the first item takes the value, the rest of the repeat is dropped.
  auto count = parse_integer(token.substr(0, star));
  if (count.error != 0) throw AnswerError{count.error};
  if (count.value == 0) throw AnswerError{errors::kRepeatCountZero};
  if (count.value < 0) throw AnswerError{errors::kIntegerInvalid};
  std::string_view value = token.substr(star + 1);
  if (value.find('*') != std::string_view::npos) throw AnswerError{errors::kRepeatCountTwice};
  if (value.empty()) return {};  // r* alone: null values
  if (value[0] == '\'' || value[0] == '"' || value[0] == '(') {
    throw AnswerError{errors::kQuotedAnswer};
  }
  return {false, value};
}

void AnswerScanner::read_text(char* text, std::size_t length) {
  start_read();
  if (input_.peek() == InputStream::kEnd) throw AnswerError{errors::kEndOfInput};
  std::size_t n = 0;
  for (;;) {
    int c = input_.peek();
    if (c == InputStream::kEnd) break;
    if (c == '\n') {
      input_.advance();
      break;
    }
    if (c == '\r' && input_.peek_next() == '\n') {  // CR LF ends the line too
      input_.advance();
      input_.advance();
      break;
    }
    if (n == length) {
      input_.skip_line();
      break;
    }
    text[n++] = static_cast<char>(c);
    input_.advance();
  }
  for (; n < length; ++n) text[n] = ' ';
}

int read_integer_answer(AnswerScanner& scanner, std::int32_t& value) {
  try {
    AnswerScanner::Value answer = scanner.scan_value();
    if (answer.null) return 0;
    auto parsed = parse_integer(answer.token);
    if (parsed.error == 0) value = parsed.value;
    return parsed.error;
  } catch (const AnswerError& e) {
    return e.code;
  }
}

int read_real_answer(AnswerScanner& scanner, float& value) {
  try {
    AnswerScanner::Value answer = scanner.scan_value();
    if (answer.null) return 0;
    auto parsed = parse_real(answer.token);
    if (parsed.error == 0) value = parsed.value;
    return parsed.error;
  } catch (const AnswerError& e) {
    return e.code;
  }
}

int read_text_answer(AnswerScanner& scanner, char* text, std::size_t length) {
  try {
    scanner.read_text(text, length);
    return 0;
  } catch (const AnswerError& e) {
    return e.code;
  }
}

}  // namespace builders
