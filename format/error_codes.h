// The numbers of the run-time error report (printed as F and four digits).
#pragma once

namespace format::errors {

// Answers.
constexpr int kIntegerOverflow = 6100;      // outside the 32-bit range
constexpr int kIntegerInvalid = 6101;       // not a digit of its radix, misplaced sign
constexpr int kRealBeyondDouble = 6102;     // beyond the range of double precision
constexpr int kRealInvalid = 6103;          // not entirely a decimal number
constexpr int kRealBeyondSingle = 6104;     // magnitude above the largest 32-bit real
constexpr int kSecondRadixMark = 6302;      // a second "#"
constexpr int kRadixOutOfRange = 6303;      // radix before "#" outside 2..36
constexpr int kTypedLineTooLong = 6407;     // terminal line over 130 characters
constexpr int kAnswerTooLong = 6408;        // a token over 260 characters
constexpr int kEndOfInput = 6501;           // end of input, or a line ending in Ctrl-Z
constexpr int kRepeatCountZero = 6502;      // 0*value
constexpr int kRepeatCountTwice = 6503;     // 2*3*4
constexpr int kQuotedAnswer = 6504;         // quoted or parenthesized answer to a number

// Files and the console.
constexpr int kOpenFailed = 6601;
constexpr int kRewindFailed = 6602;
constexpr int kWriteFailed = 6603;          // the output file, or standard output (CON)
constexpr int kCloseFailed = 6604;

}  // namespace format::errors
