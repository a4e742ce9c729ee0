// The free-form reading of one answer: blanks, empty lines, separators,
// null values, "/" and repeat counts, up to the token to be converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input_stream.h"

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

  // One line of text into `length` bytes, blank-filled; the rest of a longer
  // line is discarded. Throws AnswerError at the end of input.
  void read_text(char* text, std::size_t length);

  // Consumes the rest of the line on which the last read ended, if any.
  void finish_line();

 private:
  void start_read();
  void check_end_of_input_line();

  InputStream& input_;
  bool rest_of_line_pending_ = false;
  std::string token_;
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
