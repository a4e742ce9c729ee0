#include "answer_scanner.h"

#include <array>

#include "error_codes.h"
#include "number_parse.h"

namespace builders {
namespace {

constexpr int kCtrlZ = 0x1A;

// What each byte is to the scanner. Other characters and "*" make up tokens.
enum CharClass : unsigned char { kOther, kStar, kBlank, kLineEnd, kSeparator };

constexpr std::array<unsigned char, 256> kClass = [] {
  std::array<unsigned char, 256> table{};
  table['*'] = kStar;
  table[' '] = table['\t'] = table['\r'] = kBlank;  // a CR counts as a blank
  table['\n'] = kLineEnd;
  table[','] = table['/'] = kSeparator;
  return table;
}();

unsigned char class_of(int c) { return kClass[static_cast<unsigned char>(c)]; }

bool is_blank(int c) { return c != InputStream::kEnd && class_of(c) == kBlank; }

bool ends_token(int c) { return c == InputStream::kEnd || class_of(c) > kStar; }

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

// The usual answer: a token whose line is already in the buffer, taken
// without copying. Consumes nothing and returns false for anything else (an
// empty line, a separator, quote or Ctrl-Z first, a token reaching the end of
// the buffer or too long), which the general scan then handles.
bool AnswerScanner::scan_buffered_token(Value& value) {
  std::string_view rest = input_.buffered();
  std::size_t i = 0;
  while (i < rest.size() && class_of(rest[i]) == kBlank) ++i;
  if (i == rest.size() || class_of(rest[i]) > kStar) return false;
  const char first = rest[i];
  if (first == '\'' || first == '"' || first == '(' || first == kCtrlZ) return false;
  const std::size_t start = i;
  unsigned char seen = kOther;
  for (unsigned char c; i < rest.size() && (c = class_of(rest[i])) <= kStar; ++i) seen |= c;
  if (i == rest.size() || i - start > kMaxTokenLength) return false;
  const std::string_view token = rest.substr(start, i - start);
  last_token_ = token;
  if (rest[i] == '\n') {
    input_.advance(i + 1);  // the line end that ends the token consumes the line
  } else {
    input_.advance(i);
    rest_of_line_pending_ = true;
  }
  value = seen == kStar ? take_token(token) : Value{false, token};
  return true;
}

AnswerScanner::Value AnswerScanner::scan_value() {
  last_token_ = {};
  start_read();
  Value quick;
  if (scan_buffered_token(quick)) return quick;
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

  last_token_ = token_;
  return take_token(token_);
}

// A token as the value of the read; "r*value" is a repeat count and a value.
AnswerScanner::Value AnswerScanner::take_token(std::string_view token) {
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
  last_token_ = {};
  if (input_.peek() == InputStream::kEnd) throw AnswerError{errors::kEndOfInput};
  std::size_t n = 0;
  // CRs belong to the line end when nothing but CRs follows them on the
  // line (CR LF, CR CR LF); inside the line each is written as a blank, so
  // that no record ever holds one.
  std::size_t carriage_returns = 0;
  for (;;) {
    int c = input_.peek();
    if (c == InputStream::kEnd) break;
    input_.advance();
    if (c == '\n') break;
    if (c == '\r') {
      ++carriage_returns;
      continue;
    }
    for (; carriage_returns > 0 && n < length; --carriage_returns) text[n++] = ' ';
    carriage_returns = 0;
    if (n == length) {
      input_.skip_line();
      break;
    }
    text[n++] = static_cast<char>(c);
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
