// The array-control record: rendered as the builders write it, its bytes
// worked out by hand from the record's layout (I10, I10 or G10.3, the format
// text in 20 columns, I10, A10, I3), then read back as gwinspect reads it;
// and damaged records, each refused at the field that is wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "format/array_control.h"
#include "format/basic_file.h"
#include "format/flow_file.h"
#include "inspect/read_error.h"
#include "inspect/record_reader.h"

namespace {

// `text` as the only line of a file (with CR LF), read as an array-control
// record.
inspect::ArrayHeader read_back(const std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
  if (!file) throw std::runtime_error("tmpfile");
  const std::string bytes = text + "\r\n";
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::fflush(file.get());
  std::rewind(file.get());
  inspect::RecordReader reader(fileno(file.get()));
  if (!reader.read_line()) throw std::runtime_error("no line");
  return reader.read_array_header("an array-control record");
}

struct Rendered {
  const char* name;
  std::int32_t locator;
  bool real_multiplier;
  std::string_view format_text;
  std::int32_t print_code;
  std::string_view label;
  std::int32_t layer;
  std::string expected;
  std::size_t values_per_line;
};

TEST(ArrayControl, RendersAsTheBuildersWriteAndReadsBackField_by_field) {
  const Rendered cases[] = {
      {"boundary", format::kBoundaryArray.locator, false, format::kBoundaryArray.format_text,
       format::kBoundaryArray.print_code, format::kBoundaryArray.label, 2,
       "         1         1(20I3)                       3   IBOUND-  2", 20},
      {"starting heads", 1, true, format::kStartingHeadArray.format_text, 0,
       format::kStartingHeadArray.label, 7,
       "         1  1.00    (10G10.3)                    0    SHEAD-  7", 10},
      {"a list, layer 0", format::kFlowUnit, true, format::kColumnWidthList.format_text, 0,
       format::kColumnWidthList.label, 0,
       "        11  1.00    (10g10.3)                    0     DELC-  0", 10},
      {"layer of three digits", 11, true, "(10G10.3)", 0, "HYDCON-", 999,
       "        11  1.00    (10G10.3)                    0   HYDCON-999", 10},
      // A format text longer than 20 columns is cut.
      {"long format text", 11, false, "(2I3)56789012345678901234", 12, "X-", 5,
       "        11         1(2I3)567890123456789        12        X-  5", 2},
  };
  for (const Rendered& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string record =
        c.real_multiplier
            ? format::render_array_control(c.locator, 1.0f, c.format_text, c.print_code, c.label, c.layer)
            : format::render_array_control(c.locator, std::int32_t{1}, c.format_text, c.print_code,
                                           c.label, c.layer);
    EXPECT_EQ(record, c.expected);
    ASSERT_EQ(record.size(), 63u);
    const inspect::ArrayHeader back = read_back(record);
    EXPECT_EQ(back.locator.integer, c.locator);
    EXPECT_EQ(back.multiplier.real, 1.0f);
    EXPECT_EQ(back.format_text, std::string(c.format_text.substr(0, 20)));
    EXPECT_EQ(back.print_code.integer, c.print_code);
    EXPECT_EQ(back.label_text, c.label);
    EXPECT_EQ(back.layer_number, c.layer);
    EXPECT_EQ(back.values_format.size(), c.values_per_line);
  }
}

TEST(ArrayControl, LayerAboveNineHundredNinetyNineIsWrittenAndReadAsAsterisks) {
  const std::string record = format::render_array_control(1, 1.0f, "(10G10.3)", 0, "SHEAD-", 1000);
  EXPECT_EQ(record.substr(60), "***");
  EXPECT_EQ(read_back(record).layer_number, inspect::kLayerAsterisks);
}

struct Damaged {
  const char* name;
  std::size_t column;  // from 1: where the damage goes
  std::string_view bytes;
  std::int64_t error_column;
  std::string message;
};

TEST(ArrayControl, DamagedRecordIsRefusedAtTheFieldThatIsWrong) {
  const std::string good =
      format::render_array_control(1, std::int32_t{1}, "(20I3)", 3, "IBOUND-", 2);
  const Damaged cases[] = {
      {"no format text opening in column 21", 21, " ", 1,
       "expected an array-control record, found '         1         1 20I'..."},
      {"label not ending in a hyphen", 60, " ", 1,
       "expected an array-control record, found '         1         1(20I'..."},
      {"locator", 8, "abc", 1, "expected the unit of the values (I10), found '       abc'"},
      {"multiplier", 19, "x", 11, "expected the multiplier (G10.3), found '        x1'"},
      {"print code", 50, "?", 41, "expected the print code (I10), found '         ?'"},
      {"layer", 62, "x", 61, "expected the layer number (I3), found ' x2'"},
      {"format of texts", 21, "(5A4) ", 21,
       "expected a format of I or G descriptors such as (10G10.3), found '(5A4)               '"},
      {"format without its parenthesis", 21, "(20I3 ", 21,
       "expected a format of I or G descriptors such as (10G10.3), found '(20I3               '"},
  };
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.name);
    std::string record = good;
    record.replace(c.column - 1, c.bytes.size(), c.bytes);
    try {
      read_back(record);
      ADD_FAILURE() << "read without an error";
    } catch (const inspect::ReadError& e) {
      EXPECT_EQ(e.line(), 1);
      EXPECT_EQ(e.column(), c.error_column);
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
