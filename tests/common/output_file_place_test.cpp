// An output file made at another place than its name (OutputFile::place_at):
// the records go there, the name stays the run's, and nothing is made at
// the name.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/output_file.h"
#include "format/descriptor_list.h"
#include "tests/support/program_runner.h"

namespace {

using testing_support::Scratch;

TEST(OutputFilePlace, RecordsGoToThePlaceAndTheNameStays) {
  Scratch dir;
  dir.write("FOR013", "old\r\n");
  dir.write(".FOR013.part", "");
  {
    common::OutputFile out;
    out.place_at(dir.file(".FOR013.part"));
    out.open(13, dir.file("FOR013"), "UNKNOWN", "sequential");
    out.rewind();
    out.write_fields(format::DescriptorList("(2i10)"), std::int32_t{7}, std::int32_t{-1});
    EXPECT_EQ(out.name(), dir.file("FOR013"));
    out.close();
  }
  EXPECT_EQ(dir.read(".FOR013.part"), "         7        -1\r\n");
  EXPECT_EQ(dir.read("FOR013"), "old\r\n");  // neither opened nor cut
}

}  // namespace
