// Checks on how a run ended: the run-time error report, the records left in
// the output file, the peak memory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace testing_support {

// Standard error holds exactly one report: CR LF, "run-time error F<number>:
// <operation>(<name>)", CR LF, "- ", a one-line message, CR LF.
inline ::testing::AssertionResult is_report(std::string_view err, std::string_view number,
                                            std::string_view operation, std::string_view name) {
  const std::string head = "\r\nrun-time error " + std::string(number) + ": " +
                           std::string(operation) + "(" + std::string(name) + ")\r\n- ";
  if (err.substr(0, head.size()) != head) {
    return ::testing::AssertionFailure() << "standard error does not begin with the report of "
                                         << number << " " << operation << "(" << name
                                         << "): \"" << err << "\"";
  }
  std::string_view message = err.substr(head.size());
  if (message.size() < 3 || message.substr(message.size() - 2) != "\r\n" ||
      message.substr(0, message.size() - 2).find_first_of("\r\n") != std::string_view::npos) {
    return ::testing::AssertionFailure() << "the report is not followed by exactly one message line: \""
                                         << err << "\"";
  }
  return ::testing::AssertionSuccess();
}

// The same frame as a pattern for EXPECT_EXIT, for a failed console read.
inline std::string report_pattern(std::string_view number) {
  return "^\r\nrun-time error " + std::string(number) + ": READ\\(CON\\)\r\n- [^\r\n]+\r\n$";
}

// Standard error holds one line naming the program, and no report.
inline bool is_refusal(std::string_view err, std::string_view program) {
  return err.substr(0, program.size() + 2) == std::string(program) + ": " && !err.empty() &&
         err.find('\n') == err.size() - 1 && err.find("run-time error") == std::string_view::npos;
}

// The number of records in an output file that holds only complete records
// (each ending in CR LF, no line end inside one), or -1.
inline int complete_records(std::string_view file) {
  int records = 0;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] != '\n') continue;
    if (i == 0 || file[i - 1] != '\r') return -1;
    ++records;
  }
  if (!file.empty() && file.back() != '\n') return -1;
  return records;
}

inline bool has_stop_line(std::string_view out) {
  return out.find("Stop - Program terminated.") != std::string_view::npos;
}

// Peak memory: a run may use at most this much more than the same program
// on an answer file that ends at once, and at most the absolute bound.
constexpr long kPeakAboveIdleKib = 2048;
#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakBoundKib = 16384;  // AddressSanitizer's shadow and quarantine
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long kPeakBoundKib = 16384;
#else
constexpr long kPeakBoundKib = 8192;
#endif
#else
constexpr long kPeakBoundKib = 8192;
#endif

}  // namespace testing_support
