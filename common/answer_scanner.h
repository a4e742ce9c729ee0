// The free-form reading of one answer: blanks, empty lines, separators,
// null values, "/" and repeat counts, up to the token to be converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input_stream.h"
#include "number_parse.h"

namespace builders {

class AnswerScanner {
 public:
  explicit AnswerScanner(InputStream& input) : input_(input) {}

  // The token of the next value, or nullopt-like empty result for a null
  // value (the variable then keeps its old value). Throws AnswerError.
  struct Value {
    bool null = true;
    std::string_view token;  // valid until the next scan
  };
  Value scan_value();

  // The usual answers of a script, read at once: a short integer or real
  // (number_parse.h) alone on a line that is already in the buffer, blanks
  // around it allowed. False, with nothing consumed, for anything else, which
  // scan_value() and the general conversions then take.
  bool quick_integer(std::int32_t& value) { return quick_number<parse_short_integer>(value); }
  bool quick_real(float& value) { return quick_number<parse_short_real>(value); }

  // One line of text into `length` bytes, blank-filled; the rest of a longer
  // line is discarded. Throws AnswerError at the end of input.
  void read_text(char* text, std::size_t length);

  // Consumes the rest of the line on which the last read ended, if any.
  void finish_line();
  // Whether that rest is still to be consumed (the line has been used).
  bool rest_of_line_pending() const { return rest_of_line_pending_; }

  // The token of the last answer scanned in full (not by the quick ways,
  // which take only numbers that convert), repeat count included; valid
  // until the next read. The error report names a byte in it.
  std::string_view last_token() const { return last_token_; }

 private:
  void start_read();
  void check_end_of_input_line();
  bool scan_buffered_token(Value& value);
  Value take_token(std::string_view token);

  template <auto parse, typename Number>
  bool quick_number(Number& value) {
    if (rest_of_line_pending_) return false;
    const std::string_view rest = input_.buffered();
    const char* p = rest.data();
    const char* const end = p + rest.size();
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    Number number{};
    p = parse(p, end, number);
    if (p == nullptr || p == end) return false;
    if (*p == '\n') {
      input_.advance(static_cast<std::size_t>(p + 1 - rest.data()));  // the line is consumed
    } else if (*p == ' ' || *p == '\t' || *p == '\r' || *p == ',' || *p == '/') {
      input_.advance(static_cast<std::size_t>(p - rest.data()));  // the rest is skipped later
      rest_of_line_pending_ = true;
    } else {
      return false;  // the token goes on
    }
    value = number;
    return true;
  }

  InputStream& input_;
  bool rest_of_line_pending_ = false;
  std::string token_;
  std::string_view last_token_;
};

// The longest answer value accepted, in characters.
constexpr std::size_t kMaxTokenLength = 260;

// One whole answer as the console reads it: the scan and the conversion.
// Each returns 0, or the run-time error number that ends the run; a null
// answer leaves the variable as it was.
int read_integer_answer(AnswerScanner& scanner, std::int32_t& value);
int read_real_answer(AnswerScanner& scanner, float& value);
int read_text_answer(AnswerScanner& scanner, char* text, std::size_t length);

}  // namespace builders
