#include "tests/support/session_generator.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "format/flow_file.h"

namespace testing_support {
namespace {

class Session {
 public:
  explicit Session(std::uint32_t seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool one_in(int n) { return pick(1, n) == 1; }

  void line(const std::string& text) { lines_.push_back(text); }

  void integer(int low, int high) {
    if (one_in(12)) return line(",");  // a null answer: the value stays
    static const char* kEdges[] = {"-2147483648", "2147483647", "1000", "-100", "100", "-10"};
    if (one_in(15)) return line(kEdges[pick(0, 5)]);
    line(std::to_string(pick(low, high)));
  }

  void real() {
    if (one_in(12)) return line(",");
    static const char* kEdges[] = {"0.09999", "999.99", "-999.996", "0.1", "1000", "99.996",
                                   "3.4028234e38", "-3.4e38", "1e-45", "-0", "0.0005",
                                   "1.125", "0.9996", "9999.6", "1e10"};
    if (one_in(5)) return line(kEdges[pick(0, 14)]);
    char text[64];
    const double mantissa = pick(1, 999999) / 1000.0;
    const int exponent = pick(-8, 8);
    std::snprintf(text, sizeof text, one_in(3) ? "%.*e" : "%.*f", pick(0, 6),
                  (one_in(3) ? -mantissa : mantissa) * std::pow(10.0, exponent));
    line(text);
  }

  void title() {
    static const char kChars[] = "ab Z9\t-.,/";
    std::string text;
    const int length = one_in(5) ? 0 : pick(0, 90);
    for (int i = 0; i < length; ++i) text += kChars[pick(0, sizeof kChars - 2)];
    line(text);
  }

  // "All values the same?" and the values of `cells` cells.
  template <typename Value>
  void array(std::int64_t cells, Value value) {
    const int same = one_in(3) ? 1 : pick(0, 2);
    line(one_in(15) ? "," : std::to_string(same));
    if (same == 0) {
      value();
    } else {
      for (std::int64_t c = 0; c < cells; ++c) value();
    }
  }

  // The answers, cut short now and then (the builder then ends with the
  // end of input and keeps its complete records).
  std::string text() {
    std::size_t keep = lines_.size();
    if (one_in(5) && keep > 0) keep = static_cast<std::size_t>(pick(0, static_cast<int>(keep) - 1));
    std::string out;
    for (std::size_t i = 0; i < keep; ++i) out += lines_[i] + "\n";
    return out;
  }

 private:
  std::mt19937 random_;
  std::vector<std::string> lines_;
};

std::int64_t cells_of(int rows, int columns) {
  return rows > 0 && columns > 0 ? std::int64_t{rows} * columns : 0;
}

}  // namespace

std::string random_morvek_session(std::uint32_t seed) {
  Session s(seed);
  s.title();
  s.title();
  const int layers = s.pick(-1, 3), rows = s.pick(-1, 4), columns = s.pick(-1, 23),
            periods = s.pick(-1, 3);
  for (int count : {layers, rows, columns, periods}) s.line(std::to_string(count));
  s.integer(-1, 6);  // time unit
  for (int module = 0; module < 11; ++module) s.line(s.one_in(8) ? "," : std::to_string(s.pick(-1, 2)));
  s.integer(0, 1);
  s.integer(0, 1);
  for (int layer = 1; layer <= layers; ++layer) s.array(cells_of(rows, columns), [&] { s.integer(-1, 1); });
  s.real();
  for (int layer = 1; layer <= layers; ++layer) s.array(cells_of(rows, columns), [&] { s.real(); });
  for (int period = 1; period <= periods; ++period) {
    s.real();
    s.integer(1, 20);
    s.real();
  }
  return s.text();
}

std::string random_cindral_session(std::uint32_t seed) {
  Session s(seed);
  const int simulation_type = s.one_in(2) ? 0 : s.pick(-1, 2);
  s.line(std::to_string(simulation_type));
  s.integer(-60, 60);
  const int layers = s.pick(-1, 3), rows = s.pick(-1, 3), columns = s.pick(-1, 12);
  for (int count : {layers, rows, columns}) s.line(std::to_string(count));
  std::vector<int> types;
  for (int layer = 1; layer <= layers; ++layer) {
    static const int kCodes[] = {0, 1, 2, 3, 7, 100, -10};
    types.push_back(kCodes[s.pick(0, 6)]);
    s.line(std::to_string(types.back()));
    s.real();
  }
  s.array(columns > 0 ? columns : 0, [&] { s.real(); });
  s.array(rows > 0 ? rows : 0, [&] { s.real(); });
  for (int layer = 1; layer <= layers; ++layer) {
    for (const format::LayerArray& a : format::kLayerArrays) {
      if (format::is_selected(a.selection, simulation_type, types[static_cast<std::size_t>(layer - 1)],
                               layer, layers)) {
        s.array(cells_of(rows, columns), [&] { s.real(); });
      }
    }
  }
  return s.text();
}

std::string random_quillet_session(std::uint32_t seed) {
  Session s(seed);
  s.integer(0, 50);
  s.integer(-60, 60);
  const int periods = s.pick(-1, 4);
  s.line(std::to_string(periods));
  for (int period = 1; period <= periods; ++period) {
    static const int kCodes[] = {-1, -7, 0, 1, 2, 3, 1};
    const int use_code = kCodes[s.pick(0, 6)];
    s.line(std::to_string(use_code));
    for (int drain = 0; drain < use_code; ++drain) {
      s.integer(0, 5);
      s.integer(-3, 30);
      s.integer(1, 30);
      s.real();
      s.real();
    }
  }
  return s.text();
}

}  // namespace testing_support
