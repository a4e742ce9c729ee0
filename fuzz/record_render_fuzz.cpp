// Any integers, finite 32-bit reals and texts rendered through the
// descriptor lists the programs use, to a file and to the console.
//
// The first byte picks the list, the second the number of items; then each
// item takes its bytes by the kind of its descriptor (four for an integer or
// a real, a length byte and that many bytes for a text).
//
// Every record has exactly the width of the descriptors it used (the list's
// full width when all were used) and ends in CR LF in the file, written at
// once or handed on already rendered; the console shows each record without
// its first column, behind the carriage-control sequence; a row of one value
// rendered once and repeated gives the same records. An Iw field reads back as the value, or is w asterisks when the
// value is too wide; an Aw field is the text right-justified or cut; a G10.3
// field reads back, as a decimal number, to the value rounded to three
// significant digits (worked out here from the exact decimal expansion),
// in fixed form for magnitudes from 0.1 up to 1000 before rounding and in
// exponent form otherwise.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "format/descriptor_list.h"
#include "fuzz/fuzz_check.h"
#include "common/output_file.h"
#include "format/record_render.h"
#include "format/uniform_row.h"

namespace {

using format::Item;

struct Field {
  char kind;  // 'I', 'G', 'A'
  int width;
};

// The lists of the three programs with their fields written out by hand.
struct ListLayout {
  std::string_view text;
  std::vector<Field> fields;
  int full_width;
};

std::vector<Field> fields(std::initializer_list<std::pair<int, Field>> groups) {
  std::vector<Field> out;
  for (const auto& [count, field] : groups) out.insert(out.end(), static_cast<std::size_t>(count), field);
  return out;
}

const std::vector<ListLayout>& layouts() {
  static const std::vector<ListLayout> all = {
      {"(2i10)", fields({{2, {'I', 10}}}), 20},
      {"(2I10)", fields({{2, {'I', 10}}}), 20},
      {"(i10)", fields({{1, {'I', 10}}}), 10},
      {"(3i10,2g10.3)", fields({{3, {'I', 10}}, {2, {'G', 10}}}), 50},
      {"(8I10)", fields({{8, {'I', 10}}}), 80},
      {"(24I3)", fields({{24, {'I', 3}}}), 72},
      {"(20I3)", fields({{20, {'I', 3}}}), 60},
      {"(40i2)", fields({{40, {'I', 2}}}), 80},
      {"(G10.3)", fields({{1, {'G', 10}}}), 10},
      {"(G10.3,I10,G10.3)", fields({{1, {'G', 10}}, {1, {'I', 10}}, {1, {'G', 10}}}), 30},
      {"(10G10.3)", fields({{10, {'G', 10}}}), 100},
      {"(10g10.3)", fields({{10, {'G', 10}}}), 100},
      {"(I10,G10.3,5A4,I10,A10,I3)",
       fields({{1, {'I', 10}}, {1, {'G', 10}}, {5, {'A', 4}}, {1, {'I', 10}}, {1, {'A', 10}}, {1, {'I', 3}}}),
       63},
      {"(I10,I10,5A4,I10,A10,I3)",
       fields({{2, {'I', 10}}, {5, {'A', 4}}, {1, {'I', 10}}, {1, {'A', 10}}, {1, {'I', 3}}}), 63},
      {"(a80)", fields({{1, {'A', 80}}}), 80},
  };
  return all;
}

// A decimal number 0.D1D2... times 10^exponent, without trailing zeros; zero
// has no digits.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
  bool operator==(const Decimal&) const = default;
};

void strip(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  std::size_t zeros = 0;
  while (zeros < d.digits.size() && d.digits[zeros] == '0') ++zeros;
  d.digits.erase(0, zeros);
  d.exponent -= static_cast<int>(zeros);
  if (d.digits.empty()) d = Decimal{};
}

// Half up at digit `keep` (counted from 1), carrying into a new digit.
void round_half_up(std::string& digits, int& exponent, std::size_t keep) {
  if (digits.size() <= keep) {
    digits.resize(keep, '0');
    return;
  }
  bool up = digits[keep] >= '5';
  digits.resize(keep);
  if (!up) return;
  std::size_t i = keep;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i > 0) {
    ++digits[i - 1];
  } else {
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
  }
}

// What G10.3 must show for x: its exact decimal expansion, rounded half up
// to 17 significant digits and then to 3. `fixed` tells the form, chosen on
// the exponent before the rounding to 3.
Decimal g103_value(float x, bool& fixed) {
  fixed = true;
  if (x == 0.0f) return Decimal{};
  // A float's expansion ends within 150 significant digits, so printf's
  // correctly rounded output at 160 is exact.
  char text[256];
  std::snprintf(text, sizeof text, "%.160e", std::fabs(static_cast<double>(x)));
  Decimal d;
  d.negative = x < 0;
  const char* e = std::strchr(text, 'e');
  d.digits.push_back(text[0]);
  d.digits.append(text + 2, static_cast<std::size_t>(e - (text + 2)));
  d.exponent = std::atoi(e + 1) + 1;
  round_half_up(d.digits, d.exponent, 17);
  fixed = d.exponent >= 0 && d.exponent <= 3;
  round_half_up(d.digits, d.exponent, 3);
  strip(d);
  return d;
}

// Reads a G field back: blanks, an optional minus, digits around a point, an
// optional E with a signed two-digit exponent, blanks.
bool read_back(std::string_view field, Decimal& d, bool& exponent_form, int& trailing) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  trailing = 0;
  while (trailing < static_cast<int>(field.size()) && field[field.size() - 1 - trailing] == ' ') ++trailing;
  std::string_view body = field.substr(i, field.size() - i - static_cast<std::size_t>(trailing));
  d = Decimal{};
  if (!body.empty() && body[0] == '-') {
    d.negative = true;
    body.remove_prefix(1);
  }
  std::size_t e = body.find('E');
  exponent_form = e != std::string_view::npos;
  std::string_view mantissa = body.substr(0, e);
  int exponent = 0;
  if (exponent_form) {
    std::string_view power = body.substr(e + 1);
    if (power.size() != 3 || (power[0] != '+' && power[0] != '-')) return false;
    if (!std::isdigit(static_cast<unsigned char>(power[1])) || !std::isdigit(static_cast<unsigned char>(power[2]))) return false;
    exponent = (power[1] - '0') * 10 + (power[2] - '0');
    if (power[0] == '-') exponent = -exponent;
  }
  std::size_t point = mantissa.find('.');
  if (point == std::string_view::npos || mantissa.find('.', point + 1) != std::string_view::npos) return false;
  for (char c : mantissa) {
    if (c != '.' && !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  d.digits = std::string(mantissa.substr(0, point)) + std::string(mantissa.substr(point + 1));
  d.exponent = static_cast<int>(point) + exponent;
  bool negative = d.negative;
  strip(d);
  d.negative = negative;  // a minus on zero is kept, to be caught
  return true;
}

void check_integer_field(std::string_view field, std::int32_t value) {
  std::string decimal = std::to_string(value);
  if (decimal.size() > field.size()) {
    FUZZ_CHECK(field == std::string(field.size(), '*'), "I%zu of %d: \"%.*s\"", field.size(), value,
               static_cast<int>(field.size()), field.data());
    return;
  }
  std::string expected = std::string(field.size() - decimal.size(), ' ') + decimal;
  FUZZ_CHECK(field == expected, "I%zu of %d: \"%.*s\"", field.size(), value, static_cast<int>(field.size()),
             field.data());
}

void check_text_field(std::string_view field, std::string_view text) {
  std::string expected = text.size() >= field.size()
                             ? std::string(text.substr(0, field.size()))
                             : std::string(field.size() - text.size(), ' ') + std::string(text);
  FUZZ_CHECK(field == expected, "A%zu field differs", field.size());
}

void check_real_field(std::string_view field, float value) {
  bool fixed = true;
  Decimal expected = g103_value(value, fixed);
  Decimal shown;
  bool exponent_form = false;
  int trailing = 0;
  FUZZ_CHECK(read_back(field, shown, exponent_form, trailing), "G10.3 of %a: \"%.*s\" is not a number",
             value, static_cast<int>(field.size()), field.data());
  FUZZ_CHECK(shown == expected, "G10.3 of %a (%.9g): \"%.*s\", expected .%sE%d", value, value,
             static_cast<int>(field.size()), field.data(), expected.digits.c_str(), expected.exponent);
  FUZZ_CHECK(exponent_form != fixed, "G10.3 of %a: \"%.*s\" in the wrong form", value,
             static_cast<int>(field.size()), field.data());
  FUZZ_CHECK(trailing == (fixed ? 4 : 0), "G10.3 of %a: \"%.*s\" has %d trailing blanks", value,
             static_cast<int>(field.size()), field.data(), trailing);
  // No zero before the point, three digits after it in exponent form.
  std::string_view body = field.substr(field.find_first_not_of(' '));
  if (body[0] == '-') body.remove_prefix(1);
  FUZZ_CHECK(body[0] != '0', "G10.3 of %a: \"%.*s\" has a leading zero", value,
             static_cast<int>(field.size()), field.data());
  if (!fixed) {
    FUZZ_CHECK(body.size() == 8 && body[0] == '.', "G10.3 of %a: \"%.*s\"", value,
               static_cast<int>(field.size()), field.data());
  }
}

// The console bytes of records shown one after another from a fresh line.
std::string console_bytes(const std::vector<std::string>& records) {
  std::string out;
  bool line_open = false;
  for (const std::string& record : records) {
    char control = record.empty() ? ' ' : record[0];
    if (control == '0') {
      out += line_open ? "\r\n\r\n" : "\r\n";
    } else if (control == '1') {
      out += "\r\n\f\r \r";
    } else if (control == '+') {
      out += "\r";
    } else if (line_open) {
      out += "\r\n";
    }
    if (!record.empty()) out.append(record, 1);
    line_open = true;
  }
  return out;
}

std::string read_all(int fd) {
  std::string content;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

// Leaves digits in the stack memory that the rendering's locals will get, so
// that a buffer read beyond what was written into it shows in the fields.
[[gnu::noinline]] void fill_stack_with_digits() {
  volatile char junk[8192];
  for (auto& c : junk) c = '7';
}

std::uint32_t take32(const std::uint8_t*& data, std::size_t& size) {
  std::uint32_t v = 0;
  std::memcpy(&v, data, 4);
  data += 4;
  size -= 4;
  return v;
}

}  // namespace

namespace {

// The output file, in a scratch folder of its own, removed at the end.
std::string g_scratch;
std::string g_output_path;

void remove_scratch() {
  std::error_code ignored;
  std::filesystem::remove_all(g_scratch, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_scratch = (std::filesystem::temp_directory_path() / "render-fuzz-XXXXXX").string();
  if (mkdtemp(g_scratch.data()) == nullptr) std::abort();
  g_output_path = g_scratch + "/FOR013";
  std::atexit(remove_scratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const ListLayout& layout = layouts()[data[0] % layouts().size()];
  const std::size_t wanted = data[1];
  data += 2;
  size -= 2;

  // The items, by the kind of the descriptor each meets.
  std::vector<std::string> texts;
  texts.reserve(wanted);
  std::vector<format::Item> items;
  for (std::size_t n = 0; n < wanted; ++n) {
    const Field& field = layout.fields[n % layout.fields.size()];
    if (field.kind == 'A') {
      if (size < 1) break;
      std::size_t length = std::min<std::size_t>(data[0] % 101, size - 1);
      texts.emplace_back(reinterpret_cast<const char*>(data + 1), length);
      data += 1 + length;
      size -= 1 + length;
      items.emplace_back(std::string_view(texts.back()));
      continue;
    }
    if (size < 4) break;
    std::uint32_t bits = take32(data, size);
    if (field.kind == 'I') {
      items.emplace_back(static_cast<std::int32_t>(bits));
    } else {
      float x;
      std::memcpy(&x, &bits, sizeof x);
      if (!std::isfinite(x)) return 0;  // never reaches a record
      items.emplace_back(x);
    }
  }

  format::DescriptorList list(layout.text);
  FUZZ_CHECK(list.size() == layout.fields.size(), "%.*s has %zu descriptors",
             static_cast<int>(layout.text.size()), layout.text.data(), list.size());
  std::vector<std::string> records;
  std::string scratch;
  fill_stack_with_digits();
  format::render_records(list, std::span<const format::Item>(items),
                           [&](std::string_view record) { records.emplace_back(record); }, scratch);

  // Records: one per full use of the list, and one for no items at all.
  const std::size_t per_record = layout.fields.size();
  const std::size_t expected_records = items.empty() ? 1 : (items.size() + per_record - 1) / per_record;
  FUZZ_CHECK(records.size() == expected_records, "%zu items gave %zu records", items.size(), records.size());
  for (std::size_t r = 0; r < records.size(); ++r) {
    const std::string& record = records[r];
    std::size_t first = r * per_record;
    std::size_t count = std::min(per_record, items.size() - std::min(items.size(), first));
    int width = 0;
    for (std::size_t k = 0; k < count; ++k) width += layout.fields[k].width;
    if (count == per_record) {
      FUZZ_CHECK(width == layout.full_width, "full width %d", width);
    }
    FUZZ_CHECK(record.size() == static_cast<std::size_t>(width), "record %zu is %zu columns, expected %d", r,
               record.size(), width);
    std::size_t column = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const Field& f = layout.fields[k];
      std::string_view field = std::string_view(record).substr(column, static_cast<std::size_t>(f.width));
      const format::Item& item = items[first + k];
      if (f.kind == 'I') check_integer_field(field, item.integer);
      if (f.kind == 'G') check_real_field(field, item.real);
      if (f.kind == 'A') check_text_field(field, item.text);
      column += static_cast<std::size_t>(f.width);
    }
  }

  // A row of one value throughout, rendered once and repeated, gives the
  // records of the same values rendered one by one.
  bool one_kind = true;
  for (const Field& f : layout.fields) one_kind = one_kind && f.kind == layout.fields[0].kind;
  if (one_kind && layout.fields[0].kind != 'A' && !items.empty()) {
    std::vector<std::string> uniform;
    auto collect = [&](std::string_view record) { uniform.emplace_back(record); };
    std::vector<std::string> one_by_one;
    auto collect_one = [&](std::string_view record) { one_by_one.emplace_back(record); };
    if (layout.fields[0].kind == 'I') {
      format::UniformRow(list, items[0].integer, items.size()).for_each_record(collect);
      std::vector<std::int32_t> same(items.size(), items[0].integer);
      format::render_records(list, std::span<const std::int32_t>(same), collect_one, scratch);
    } else {
      format::UniformRow(list, items[0].real, items.size()).for_each_record(collect);
      std::vector<float> same(items.size(), items[0].real);
      format::render_records(list, std::span<const float>(same), collect_one, scratch);
    }
    FUZZ_CHECK(uniform == one_by_one, "a uniform row of %zu values differs", items.size());
  }

  // The same write to the output file, and the records handed on as already
  // rendered (as the array rows are): the records, each ending in CR LF.
  std::string file_expected;
  for (const std::string& record : records) file_expected += record + "\r\n";
  for (bool rendered : {false, true}) {
    {
      common::OutputFile file;
      file.open(13, g_output_path, "UNKNOWN", "sequential");
      file.rewind();
      if (rendered) {
        for (const std::string& record : records) file.write_rendered(record);
      } else {
        file.write_record(list, std::span<const format::Item>(items));
      }
      file.close();
    }
    int fd = ::open(g_output_path.c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0, "FOR013 cannot be read back");
    std::string file_content = read_all(fd);
    ::close(fd);
    FUZZ_CHECK(file_content == file_expected, "the file holds %zu bytes, expected %zu%s",
               file_content.size(), file_expected.size(), rendered ? " (rendered)" : "");
  }

  // And to the console, as an echo, both ways.
  for (bool rendered : {false, true}) {
    int out = memfd_create("console", MFD_CLOEXEC);
    int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(out >= 0 && in >= 0, "no descriptors");
    {
      common::Console console(in, out, false);
      if (rendered) {
        for (const std::string& record : records) console.write_rendered(record);
      } else {
        console.write_record(list, std::span<const format::Item>(items));
      }
      console.flush();
    }
    std::string shown = read_all(out);
    ::close(out);
    ::close(in);
    FUZZ_CHECK(shown == console_bytes(records), "the console shows %zu bytes%s", shown.size(),
               rendered ? " (rendered)" : "");
  }
  return 0;
}
