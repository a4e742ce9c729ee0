// Any bytes as the console input of free-form reads, or as one answer token.
//
// The first byte steers: bits 0-1 the kind of the first read (integer,
// real, text, or the bytes as one token for both conversions), bits 2-3
// where the input comes from (a regular file, a pipe, or typed lines), bits
// 4-5 how many reads follow the first, bit 6 (typed lines only) whether the
// output is a terminal too, so that the console shares one state and never
// takes the quick way through an answer. The rest is the input.
//
// Every read returns a value (a null answer keeps the old one) or one of the
// documented error numbers. Beyond that, simple answers must read as what
// they say: an integer of an optional sign and decimal digits as that number
// (or F6100 when it does not fit), a decimal real as the nearest 32-bit
// value (strtof), a text line as its first 80 bytes (no CR in them); a file
// or a pipe is left at a line start, holding exactly what was not read; and
// a token converted from a buffer of exactly its length touches nothing
// beyond it (AddressSanitizer watches the buffer's end).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/answer_scanner.h"
#include "format/error_codes.h"
#include "fuzz/fuzz_check.h"
#include "common/input_stream.h"
#include "format/number_parse.h"

namespace {

using common::AnswerScanner;
using common::InputStream;
namespace errors = format::errors;

enum class Source { File, Pipe, Terminal };
enum class Kind { Integer, Real, Text, Token };

constexpr std::size_t kTextLength = 80;
constexpr std::int32_t kIntegerBefore = 12345;
constexpr float kRealBefore = 0.25f;

bool one_of(int code, std::initializer_list<int> codes) {
  for (int c : codes) {
    if (code == c) return true;
  }
  return false;
}

bool documented_read_error(int code, Source source) {
  if (code == format::errors::kTypedLineTooLong) return source == Source::Terminal;
  return one_of(code, {format::errors::kIntegerOverflow, format::errors::kIntegerInvalid, format::errors::kRealBeyondDouble,
                       format::errors::kRealInvalid, format::errors::kRealBeyondSingle, format::errors::kSecondRadixMark,
                       format::errors::kRadixOutOfRange, format::errors::kAnswerTooLong, format::errors::kEndOfInput,
                       format::errors::kRepeatCountZero, format::errors::kRepeatCountTwice, format::errors::kQuotedAnswer});
}

// One read as the console makes it: 0, or the number of the error that the
// console would report.
template <typename Read>
int error_of(Read read) {
  try {
    read();
    return 0;
  } catch (const common::AnswerError& e) {
    return e.code;
  }
}

// Each number read as Console::read_integer and read_real make it (the
// usual answer read at once unless the console state is shared).
int console_read(AnswerScanner& scanner, std::int32_t& value) {
  return error_of([&] { scanner.read_integer(value); });
}
int console_read(AnswerScanner& scanner, float& value) {
  return error_of([&] { scanner.read_real(value); });
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---------------------------------------------------------------------------
// Where the input comes from.

struct Feed {
  int fd = -1;
  std::string delivered;  // the bytes the reader can get, for the oracles
  Feed() = default;
  Feed(const Feed&) = delete;
  Feed& operator=(const Feed&) = delete;
  ~Feed() {
    if (fd >= 0) ::close(fd);
  }
};

bool feed_file(std::string_view input, Feed& feed) {
  feed.fd = memfd_create("answers", MFD_CLOEXEC);
  if (feed.fd < 0) return false;
  std::size_t done = 0;
  while (done < input.size()) {
    ssize_t n = ::write(feed.fd, input.data() + done, input.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  feed.delivered = input;
  return ::lseek(feed.fd, 0, SEEK_SET) == 0;
}

// Written into a pipe beforehand, as much as the pipe holds.
bool feed_pipe(std::string_view input, Feed& feed) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  ssize_t n = input.empty() ? 0 : ::write(ends[1], input.data(), input.size());
  ::close(ends[1]);
  feed.fd = ends[0];
  feed.delivered = input.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0);
  return true;
}

// Typed lines, handed over one read at a time as a terminal in canonical mode
// does: a line ends after its LF or at a Ctrl-D, which is not passed on (so a
// Ctrl-D at a line start reads as nothing, the end of input). Each line is one
// message on a sequenced-packet socket.
bool feed_terminal(std::string_view input, Feed& feed) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
  int room = 4 << 20;
  setsockopt(ends[1], SOL_SOCKET, SO_SNDBUFFORCE, &room, sizeof room);
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find_first_of(std::string_view("\n\x04", 2), start);
    std::size_t next;
    std::string_view line;
    if (end == std::string_view::npos) {
      line = input.substr(start);
      next = input.size();
    } else if (input[end] == '\n') {
      line = input.substr(start, end + 1 - start);
      next = end + 1;
    } else {
      line = input.substr(start, end - start);
      next = end + 1;
    }
    if (::send(ends[1], line.data(), line.size(), MSG_DONTWAIT) < 0) break;  // socket full
    feed.delivered.append(input.substr(start, next - start));
    start = next;
  }
  ::shutdown(ends[1], SHUT_WR);
  ::close(ends[1]);
  feed.fd = ends[0];
  return true;
}

// ---------------------------------------------------------------------------
// What a read must give, worked out from the bytes alone.

struct Outcome {
  int error = 0;
  bool null = false;
  std::int32_t integer = 0;
  float real = 0.0f;
  bool real_may_be_largest = false;  // in the band between FLT_MAX and the limit
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An integer token of an optional sign and decimal digits.
std::optional<Outcome> integer_outcome(std::string_view token) {
  if (token == "-2147483648") return Outcome{0, false, INT32_MIN};
  std::string_view digits = token;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  for (char c : digits) {
    if (!is_digit(c)) return std::nullopt;  // radix forms, letters: not checked here
  }
  if (token.empty()) return std::nullopt;
  while (!digits.empty() && digits[0] == '0') digits.remove_prefix(1);
  if (digits.size() > 10) return Outcome{format::errors::kIntegerOverflow};
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  if (value > INT32_MAX) return Outcome{format::errors::kIntegerOverflow};
  return Outcome{0, false, static_cast<std::int32_t>(negative ? -value : value)};
}

// A real token: a decimal number with an optional exponent (E, e, D or d) is
// the nearest 32-bit value of it; anything else is F6103.
Outcome real_outcome(std::string_view token) {
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t start = i;
    while (i < token.size() && is_digit(token[i])) ++i;
    return i - start;
  };
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < token.size() && token[i] == '.') {
    ++i;
    mantissa += digits();
  }
  std::string text(token);
  bool exponent_ok = true;
  if (i < token.size() && std::strchr("EeDd", token[i]) != nullptr && token[i] != '\0') {
    text[i] = 'e';
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    exponent_ok = digits() > 0;
  }
  if (mantissa == 0 || !exponent_ok || i != token.size()) return Outcome{format::errors::kRealInvalid};

  errno = 0;
  double wide = std::strtod(text.c_str(), nullptr);
  if (std::isinf(wide)) return Outcome{format::errors::kRealBeyondDouble};
  if (std::fabs(wide) > 3.402823466385289e38) return Outcome{format::errors::kRealBeyondSingle};
  Outcome outcome;
  outcome.real = std::strtof(text.c_str(), nullptr);
  outcome.real_may_be_largest = std::fabs(wide) > FLT_MAX;
  return outcome;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_token(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/';
}

// A line that holds only Ctrl-Z marks the end of input.
bool end_marker_at(std::string_view input, std::size_t i) {
  return i < input.size() && input[i] == 0x1A &&
         (i + 1 == input.size() || input[i + 1] == '\n' || input[i + 1] == '\r');
}

// The outcome of a first integer or real read from the start of `input`, or
// nothing for answers not checked here (radix forms).
std::optional<Outcome> value_outcome(std::string_view input, Kind kind) {
  std::size_t i = 0;
  bool line_start = true;
  for (;;) {
    if (line_start && end_marker_at(input, i)) return Outcome{format::errors::kEndOfInput};
    line_start = false;
    if (i == input.size()) return Outcome{format::errors::kEndOfInput};
    if (is_blank(input[i])) {
      ++i;
    } else if (input[i] == '\n') {
      ++i;
      line_start = true;
    } else {
      break;
    }
  }
  char first = input[i];
  if (first == ',' || first == '/') return Outcome{0, true};
  if (first == '\'' || first == '"' || first == '(') return Outcome{format::errors::kQuotedAnswer};
  std::size_t start = i;
  while (i < input.size() && !ends_token(input[i])) ++i;
  std::string_view token = input.substr(start, i - start);
  if (token.size() > common::kMaxTokenLength) return Outcome{format::errors::kAnswerTooLong};

  // r*v: a repeat count r of decimal digits; the one item takes v.
  std::size_t star = token.find('*');
  if (star != std::string_view::npos && star > 0) {
    std::string_view count = token.substr(0, star);
    for (char c : count) {
      if (!is_digit(c)) return std::nullopt;
    }
    std::optional<Outcome> r = integer_outcome(count);
    if (!r || r->error != 0) return r;
    if (r->integer == 0) return Outcome{format::errors::kRepeatCountZero};
    token = token.substr(star + 1);
    if (token.find('*') != std::string_view::npos) return Outcome{format::errors::kRepeatCountTwice};
    if (token.empty()) return Outcome{0, true};
    if (token[0] == '\'' || token[0] == '"' || token[0] == '(') return Outcome{format::errors::kQuotedAnswer};
  }
  if (kind == Kind::Integer) return integer_outcome(token);
  return real_outcome(token);
}

// The outcome of a first text read: the first line's first 80 bytes. The
// CRs that end the line belong to its line end; one inside it reads as a
// blank.
std::optional<std::string> text_outcome(std::string_view input, int& error) {
  error = 0;
  if (input.empty() || end_marker_at(input, 0)) {
    error = format::errors::kEndOfInput;
    return std::nullopt;
  }
  std::string_view line = input.substr(0, input.find('\n'));
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string text(line.substr(0, kTextLength));
  for (char& c : text) {
    if (c == '\r') c = ' ';
  }
  text.resize(kTextLength, ' ');
  return text;
}

// Typed lines follow the redirected rules as long as none is too long and
// none carries Ctrl-D or Ctrl-Z.
bool typed_like_redirected(std::string_view input) {
  if (input.find_first_of(std::string_view("\x04\x1a", 2)) != std::string_view::npos) return false;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    std::size_t length = (end == std::string_view::npos ? input.size() : end) - start;
    if (end != std::string_view::npos) {
      while (length > 0 && input[start + length - 1] == '\r') --length;
    }
    if (length > 130) return false;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return true;
}

// ---------------------------------------------------------------------------

void check_integer_outcome(int error, std::int32_t value, const Outcome& expected, std::string_view what) {
  FUZZ_CHECK(error == expected.error, "%.*s: error %d, expected %d", static_cast<int>(what.size()),
             what.data(), error, expected.error);
  if (error != 0) return;
  std::int32_t want = expected.null ? kIntegerBefore : expected.integer;
  FUZZ_CHECK(value == want, "%.*s: read %d, expected %d", static_cast<int>(what.size()), what.data(),
             value, want);
}

void check_real_outcome(int error, float value, const Outcome& expected, std::string_view what) {
  if (expected.real_may_be_largest) {
    FUZZ_CHECK(error == format::errors::kRealBeyondSingle || (error == 0 && std::fabs(value) == FLT_MAX),
               "%.*s: error %d, value %a", static_cast<int>(what.size()), what.data(), error, value);
    return;
  }
  FUZZ_CHECK(error == expected.error, "%.*s: error %d, expected %d", static_cast<int>(what.size()),
             what.data(), error, expected.error);
  if (error != 0) return;
  float want = expected.null ? kRealBefore : expected.real;
  FUZZ_CHECK(same_bits(value, want), "%.*s: read %a, expected %a", static_cast<int>(what.size()),
             what.data(), value, want);
}

// The bytes as one token, converted from a buffer of exactly its length.
void convert_token(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<char[]> exact(new char[size]);
  std::memcpy(exact.get(), data, size);
  std::string_view token(exact.get(), size);

  auto integer = format::parse_integer(token);
  FUZZ_CHECK(one_of(integer.error, {0, format::errors::kIntegerOverflow, format::errors::kIntegerInvalid,
                                    format::errors::kSecondRadixMark, format::errors::kRadixOutOfRange}),
             "integer conversion error %d", integer.error);
  if (std::optional<Outcome> expected = integer_outcome(token)) {
    check_integer_outcome(integer.error, integer.value, *expected, "integer token");
  }

  auto real = format::parse_real(token);
  FUZZ_CHECK(one_of(real.error, {0, format::errors::kRealBeyondDouble, format::errors::kRealInvalid,
                                 format::errors::kRealBeyondSingle}),
             "real conversion error %d", real.error);
  FUZZ_CHECK(real.error != 0 || std::isfinite(real.value), "real conversion gave %a", real.value);
  check_real_outcome(real.error, real.value, real_outcome(token), "real token");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t steer = data[0];
  ++data;
  --size;
  const Kind first_kind = static_cast<Kind>(steer & 3);
  if (first_kind == Kind::Token) {
    convert_token(data, size);
    return 0;
  }
  const Source source = ((steer >> 2) & 3) == 1   ? Source::Pipe
                        : ((steer >> 2) & 3) == 2 ? Source::Terminal
                                                  : Source::File;
  const int reads = 1 + ((steer >> 4) & 3);
  const bool shared = source == Source::Terminal && (steer & 0x40) != 0;

  std::string_view input(reinterpret_cast<const char*>(data), size);
  Feed feed;
  bool fed = source == Source::File   ? feed_file(input, feed)
             : source == Source::Pipe ? feed_pipe(input, feed)
                                      : feed_terminal(input, feed);
  if (!fed) return 0;

  InputStream stream(feed.fd, source == Source::Terminal, nullptr);
  AnswerScanner scanner(stream);
  scanner.read_usual_answers_at_once(!shared);
  const bool oracle = source != Source::Terminal || typed_like_redirected(feed.delivered);

  for (int n = 0; n < reads; ++n) {
    const Kind kind = n == 0 ? first_kind : static_cast<Kind>((static_cast<int>(first_kind) + n) % 3);
    int error = 0;
    if (kind == Kind::Integer) {
      std::int32_t value = kIntegerBefore;
      error = console_read(scanner, value);
      if (n == 0 && oracle) {
        if (std::optional<Outcome> expected = value_outcome(feed.delivered, kind)) {
          check_integer_outcome(error, value, *expected, "first integer read");
        }
      }
    } else if (kind == Kind::Real) {
      float value = kRealBefore;
      error = console_read(scanner, value);
      FUZZ_CHECK(error != 0 || std::isfinite(value), "a real read gave %a", value);
      if (n == 0 && oracle) {
        if (std::optional<Outcome> expected = value_outcome(feed.delivered, kind)) {
          check_real_outcome(error, value, *expected, "first real read");
        }
      }
    } else {
      // Exactly the text's length, so that a write past it is caught.
      std::unique_ptr<char[]> text(new char[kTextLength]);
      error = error_of([&] { scanner.read_text(text.get(), kTextLength); });
      if (n == 0 && oracle) {
        int expected_error = 0;
        std::optional<std::string> expected = text_outcome(feed.delivered, expected_error);
        FUZZ_CHECK(error == expected_error, "first text read: error %d, expected %d", error,
                   expected_error);
        if (expected) {
          FUZZ_CHECK(std::string_view(text.get(), kTextLength) == *expected,
                     "first text read: \"%.80s\", expected \"%s\"", text.get(), expected->c_str());
        }
      }
    }
    FUZZ_CHECK(error == 0 || documented_read_error(error, source), "read %d ended with F%d", n, error);
    if (error != 0) break;
  }

  // The end of a run, after a failed read too, gives back the unread rest of
  // a regular file or a pipe from the line after the one where the last
  // read ended.
  if (source == Source::File || source == Source::Pipe) {
    scanner.finish_line();
    stream.give_back_unread();
    std::size_t offset = 0;
    if (source == Source::File) {
      offset = static_cast<std::size_t>(::lseek(feed.fd, 0, SEEK_CUR));
    } else {
      std::string left;
      char piece[4096];
      for (ssize_t n; (n = ::read(feed.fd, piece, sizeof piece)) > 0;) left.append(piece, static_cast<std::size_t>(n));
      const std::string_view delivered = feed.delivered;
      FUZZ_CHECK(left.size() <= delivered.size() && delivered.substr(delivered.size() - left.size()) == left,
                 "the pipe holds %zu bytes that are not the end of what was written", left.size());
      offset = delivered.size() - left.size();
    }
    const std::string_view delivered = feed.delivered;
    FUZZ_CHECK(offset <= delivered.size() &&
                   (offset == 0 || offset == delivered.size() || delivered[offset - 1] == '\n'),
               "input given back at offset %zu of %zu", offset, delivered.size());
  }
  return 0;
}
