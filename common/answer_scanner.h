// The free-form reading of one answer: blanks, empty lines, separators,
// null values, "/" and repeat counts, the token and its conversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/input_stream.h"
#include "format/number_parse.h"

namespace common {

// The longest answer value accepted, in characters.
constexpr std::size_t kMaxTokenLength = 260;

// What each byte is to the scanner: this table alone decides what ends a
// token. A token is a run of the classes up to kStar; every later class
// ends it.
namespace answer_bytes {

enum Class : unsigned char {
  kOther,       // digits, letters, signs: the body of a token
  kQuote,       // ' " ( opening text or a complex pair, refused in a number
  kEndMark,     // Ctrl-Z, the end of input on a line of its own
  kStar,        // the mark of a repeat count
  kBlank,       // blank, tab, and a CR, which counts as a blank
  kLineEnd,     // LF
  kSeparator,   // "," and "/"
};

inline constexpr std::array<Class, 256> kClasses = [] {
  std::array<Class, 256> table{};
  table['\''] = table['"'] = table['('] = kQuote;
  table[static_cast<unsigned char>(kCtrlZ)] = kEndMark;
  table['*'] = kStar;
  table[' '] = table['\t'] = table['\r'] = kBlank;
  table['\n'] = kLineEnd;
  table[','] = table['/'] = kSeparator;
  return table;
}();

inline Class class_of(char c) { return kClasses[static_cast<unsigned char>(c)]; }

inline bool ends_token(char c) { return class_of(c) >= kBlank; }

}  // namespace answer_bytes

class AnswerScanner {
 public:
  explicit AnswerScanner(InputStream& input) : input_(input) {}

  // Whether the usual answers of a script are read at once (off at first):
  // a short integer or real (number_parse.h) that stands at the start of a
  // line already in the buffer, with the byte that ends its token. Such an
  // answer is consumed as the general way consumes it, but leaves
  // answer_line(), answer_column() and last_token() as they were, so a
  // reader that needs those keeps this off.
  void read_usual_answers_at_once(bool on) { at_once_ = on; }

  // One free-form value each; a null answer leaves the variable as it was.
  // Throw AnswerError when the answer cannot be read.
  void read_integer(std::int32_t& value) {
    if (at_once_ && read_short<format::parse_short_integer>(value)) return;
    read_integer_fallback(value);
  }
  void read_real(float& value) {
    if (at_once_ && read_short<format::parse_short_real>(value)) return;
    read_real_fallback(value);
  }

  // One line of text into `length` bytes, blank-filled; the rest of a longer
  // line is discarded. Throws AnswerError at the end of input.
  void read_text(char* text, std::size_t length);

  // Consumes the rest of the line on which the last read ended, if any.
  void finish_line();
  // The same, keeping what it consumes: the rest's place and its first
  // kKeptRest bytes (the line end left out).
  struct Rest {
    std::int64_t line = 0;
    std::int64_t column = 0;
    std::string bytes;
  };
  static constexpr std::size_t kKeptRest = 200;
  Rest take_rest_of_line();
  // The line of the first byte not yet read that is not a blank or a line
  // end; 0 at the end of the answers (or for typed answers).
  std::int64_t next_unread_line();

  // Where the last answer read the general way stands; -1 before its token
  // is found (and for a text).
  std::int64_t answer_line() const { return answer_line_; }
  std::int64_t answer_column() const { return answer_column_; }
  // Whether that rest is still to be consumed (the line has been used).
  bool rest_of_line_pending() const { return rest_of_line_pending_; }

  // The token of the last answer that went the general way, repeat count
  // included (for an answer too long, its first kMaxTokenLength bytes);
  // valid until the next read. The error report quotes it.
  std::string_view last_token() const { return last_token_; }

  // For the report of an answer that could not be read (AnswerError `code`)
  // from a file or a pipe: the line of the answers it stands on, or for the
  // end of input the number of lines there were. -1 for typed answers,
  // which have no line numbers.
  std::int64_t failed_line(int code);

 private:
  // The usual answer read at once (read_usual_answers_at_once()); false,
  // with nothing consumed, for anything else, which the fallbacks then take.
  // Reads nothing and throws nothing: a typed line is checked as it is read,
  // so a line not yet read is left to the general way.
  template <auto parse_short, typename Number>
  bool read_short(Number& value) {
    if (rest_of_line_pending_) return false;
    const std::string_view rest = input_.buffered();
    const char* const end = rest.data() + rest.size();
    Number number{};
    const char* const stop = parse_short(rest.data(), end, number);
    if (stop == nullptr || stop == end || !answer_bytes::ends_token(*stop)) {
      return false;  // no short number, or its token goes on (or may, after the buffer)
    }
    pass_token(static_cast<std::size_t>(stop - rest.data()), *stop);
    value = number;
    return true;
  }

  // The general way: blanks, empty lines, null values, repeat counts, every
  // number form, and the answer's place kept for the error report.
  void read_integer_fallback(std::int32_t& value);
  void read_real_fallback(float& value);
  template <auto parse, typename Number>
  void read_number(Number& value);
  bool at_token();
  std::string_view collect_token();
  std::string_view value_after_repeat_count(std::string_view token);
  void check_end_of_input_line();

  // Consumes a token of `length` bytes and the byte `end` after it: a line
  // end consumes its line; any other leaves the rest of the line pending.
  void pass_token(std::size_t length, char end) {
    if (end == '\n') {
      input_.advance(length + 1);
    } else {
      input_.advance(length);
      rest_of_line_pending_ = true;
    }
  }

  InputStream& input_;
  bool at_once_ = false;
  bool rest_of_line_pending_ = false;
  std::string token_;
  std::string_view last_token_;
  // The line of the answer being read the general way, once its token is
  // found; -1 before.
  std::int64_t answer_line_ = -1;
  std::int64_t answer_column_ = -1;
};

}  // namespace common
