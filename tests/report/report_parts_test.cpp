// The parts of gwinspect report with rules of their own: how cells are
// laid out on a map's pixels, what a reduced pixel shows, the PNG pictures
// and the text put into the page.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report/axis_layout.h"
#include "report/colour_scale.h"
#include "report/embedded_bytes.h"
#include "report/html_text.h"
#include "report/map_raster.h"
#include "report/no_flow_cells.h"
#include "report/png_image.h"

namespace report {
namespace {

using inspect::Field;

Field integer_field(std::int32_t value) {
  Field f;
  f.type = format::Descriptor::Kind::Integer;
  f.integer = value;
  return f;
}
Field real_field(float value) {
  Field f;
  f.type = format::Descriptor::Kind::Real;
  f.real = value;
  return f;
}
Field asterisks() {
  Field f;
  f.kind = Field::Kind::Asterisks;
  f.type = format::Descriptor::Kind::Integer;
  return f;
}

// Feeds a whole array to `raster`, `per_line` fields to a line, as a file
// gives them; stops after `lines_read` lines when that is not negative.
void feed(MapRaster& raster, std::int64_t rows, std::int64_t columns, std::int64_t per_line,
          const std::function<Field(std::int64_t, std::int64_t)>& cell, std::int64_t lines_read = -1) {
  std::vector<Field> line;
  for (std::int64_t r = 1; r <= rows; ++r) {
    for (std::int64_t first = 1; first <= columns; first += per_line) {
      if (lines_read-- == 0) return;
      line.clear();
      for (std::int64_t c = first; c < first + per_line && c <= columns; ++c) line.push_back(cell(r, c));
      raster.add_line(r, first, line);
    }
  }
}

struct AxisCase {
  const char* name;
  std::int64_t cells;
  std::vector<double> widths;  // of each cell; empty: all 1
  int pixels;
  std::int64_t cells_per_block;
  bool reduced;
  std::int64_t most_cells_per_pixel;
};

TEST(AxisLayout, BlocksCoverThePixelsInProportionEachOnOneAtLeast) {
  std::vector<double> example = {200, 150, 100, 100, 100, 100, 150};
  std::vector<double> extreme = {1e-6, 1, 1e6, 1e-6};
  const std::vector<AxisCase> cases = {
      {"seven example widths on 336 pixels", 7, example, 336, 1, false, 1},
      // Blocks of 1.33 pixels: a pixel reaches into two blocks at most.
      {"1500 equal cells on 1000 pixels: blocks of 2", 1500, {}, 1000, 2, true, 4},
      {"widths a trillion apart: the thin cells keep a pixel", 4, extreme, 1000, 1, true, 3},
      {"one cell", 1, {}, 240, 1, false, 1},
      {"the largest list: 10^8 cells in blocks of 10^5", 100'000'000, {}, 1000, 100'000, true, 100'000},
  };
  for (const AxisCase& c : cases) {
    SCOPED_TRACE(c.name);
    AxisLayout axis(c.cells);
    ASSERT_EQ(axis.cells_per_block(), c.cells_per_block);
    if (!c.widths.empty()) {
      WidthSums sums(axis);
      for (std::size_t i = 0; i < c.widths.size(); ++i) sums.add(static_cast<std::int64_t>(i) + 1, true, c.widths[i]);
      ASSERT_TRUE(sums.usable());
      axis.set_widths(sums.block_widths());
    }
    axis.place(c.pixels);
    ASSERT_EQ(axis.pixels(), c.pixels);
    EXPECT_EQ(axis.first_pixel(0), 0);
    EXPECT_EQ(axis.last_pixel(axis.blocks() - 1), c.pixels - 1);
    const std::vector<double> edges = axis.edges();
    for (std::int64_t b = 0; b < axis.blocks(); ++b) {
      const int first = axis.first_pixel(b), last = axis.last_pixel(b);
      ASSERT_LE(first, last);
      if (b > 0) {
        ASSERT_TRUE(first == axis.last_pixel(b - 1) || first == axis.last_pixel(b - 1) + 1) << b;
      }
      const double share = (edges[static_cast<std::size_t>(b) + 1] - edges[static_cast<std::size_t>(b)]) * c.pixels;
      ASSERT_LE(std::abs((last - first + 1) - share), 2.0) << "block " << b;
      for (int p = first; p <= last; ++p) {
        // Reduced, a pixel shows every block that reaches into it; else
        // the one under its middle.
        if (c.reduced) {
          ASSERT_TRUE(axis.first_block(p) <= b && b <= axis.last_block(p));
        } else {
          ASSERT_EQ(axis.first_block(p), axis.last_block(p));
        }
      }
    }
    for (int p = 0; p < c.pixels; ++p) {
      const std::int64_t b = axis.first_block(p);
      ASSERT_TRUE(axis.first_pixel(b) <= p && p <= axis.last_pixel(b)) << "pixel " << p;
    }
    EXPECT_EQ(axis.reduced(), c.reduced);
    EXPECT_EQ(axis.most_cells_per_pixel(), c.most_cells_per_pixel);
  }
}

TEST(AxisLayout, WidthsThatCannotShapeTheMap) {
  AxisLayout axis(3);
  struct Case {
    const char* name;
    std::vector<std::pair<bool, double>> entries;
  };
  const std::vector<Case> cases = {
      {"a width of zero", {{true, 1}, {true, 0}, {true, 1}}},
      {"a negative width", {{true, 1}, {true, -2}, {true, 1}}},
      {"a width that cannot be read", {{true, 1}, {false, 0}, {true, 1}}},
      {"one width too few", {{true, 1}, {true, 1}}},
      {"one width too many", {{true, 1}, {true, 1}, {true, 1}, {true, 1}}},
  };
  for (const Case& c : cases) {
    WidthSums sums(axis);
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      sums.add(static_cast<std::int64_t>(i) + 1, c.entries[i].first, c.entries[i].second);
    }
    EXPECT_FALSE(sums.usable()) << c.name;
  }
}

TEST(GridLayout, MapSizeFromTheLongerSide) {
  struct Case {
    const char* name;
    std::int64_t columns, rows;
    std::vector<double> along_rows;  // DELR, empty: all 1
    double row_width;                // each DELC
    int width, height;
    bool widened;
  };
  const std::vector<Case> cases = {
      // 7 blocks * 48 = 336 pixels across; 336 * 6 / 7 = 288 down.
      {"7 by 6 squares", 7, 6, {}, 1, 336, 288, false},
      // 900 wide, 600 high: 336 * 600 / 900 = 224.
      {"example widths", 7, 6, {200, 150, 100, 100, 100, 100, 150}, 100, 336, 224, false},
      {"1500 by 1200 squares", 1500, 1200, {}, 1, 1000, 800, false},
      {"one cell", 1, 1, {}, 1, 240, 240, false},
      {"one row of 100000: drawn 8 pixels high", 100'000, 1, {}, 1, 1000, 8, true},
      // 500 rows * 48 > 1000: 1000 down; 1000 * 3 / 500 = 6, widened to 8.
      {"3 columns by 500 rows", 3, 500, {}, 1, 8, 1000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GridLayout layout;
    layout.columns = AxisLayout(c.columns);
    layout.rows = AxisLayout(c.rows);
    if (!c.along_rows.empty()) {
      layout.columns.set_widths(c.along_rows);
      layout.rows.set_widths(std::vector<double>(static_cast<std::size_t>(c.rows), c.row_width));
    }
    layout.place();
    EXPECT_EQ(layout.columns.pixels(), c.width);
    EXPECT_EQ(layout.rows.pixels(), c.height);
    EXPECT_EQ(layout.short_side_widened, c.widened);
  }
}

// 2001 columns in blocks of 3 on 1000 pixels, 10 rows on 8: every pixel
// covers several cells.
GridLayout reduced_layout() {
  GridLayout layout;
  layout.columns = AxisLayout(2001);
  layout.rows = AxisLayout(10);
  layout.place();
  return layout;
}

TEST(MapRaster, AReducedBoundaryPixelShowsTheHighestClassAmongItsCells) {
  const GridLayout layout = reduced_layout();
  ASSERT_EQ(layout.columns.pixels(), 1000);
  ASSERT_EQ(layout.rows.pixels(), 8);
  ASSERT_GT(layout.columns.most_cells_per_pixel(), 3);
  struct Case {
    std::int32_t field;
    Field lone;
    CellClass shown;  // in the pixels of the lone cell's block
  };
  const std::vector<Case> cases = {
      {1, integer_field(0), CellClass::NoFlow},
      {1, integer_field(-1), CellClass::ConstantHead},
      {0, integer_field(-1), CellClass::ConstantHead},
      {1, integer_field(7), CellClass::Other},
      {-1, integer_field(2), CellClass::Other},
      {1, asterisks(), CellClass::Other},
      {0, integer_field(1), CellClass::NoFlow},  // an active cell gives way to no flow
  };
  const std::int64_t lone_row = 5, lone_column = 1001;
  for (const Case& c : cases) {
    SCOPED_TRACE("a lone " + std::to_string(static_cast<int>(c.shown)) + " in a field of " + std::to_string(c.field));
    MapRaster raster(MapRaster::Kind::Boundary, layout);
    feed(raster, 10, 2001, 20, [&](std::int64_t r, std::int64_t col) {
      return r == lone_row && col == lone_column ? c.lone : integer_field(c.field);
    });
    raster.finish();
    const IndexedImage image = raster.render();
    const std::int64_t bx = layout.columns.block_of(lone_column), by = layout.rows.block_of(lone_row);
    const CellClass field = cell_class(c.field);
    int lone_pixels = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const bool covers = layout.columns.first_block(x) <= bx && bx <= layout.columns.last_block(x) &&
                            layout.rows.first_block(y) <= by && by <= layout.rows.last_block(y);
        const auto seen = static_cast<CellClass>(image.pixels[static_cast<std::size_t>(y * image.width + x)]);
        ASSERT_EQ(seen, covers ? c.shown : field) << "pixel " << x << ", " << y;
        lone_pixels += covers;
      }
    }
    EXPECT_GE(lone_pixels, 1);
    EXPECT_EQ(raster.stats().class_cells[static_cast<std::size_t>(field)], 2001 * 10 - 1);
  }
  // Two cells of one class in a block, 7 then 2: the block's tooltip value
  // is the first one's.
  const std::int64_t block_column = layout.columns.block_of(lone_column);
  const std::int64_t first = layout.columns.first_cell(block_column);
  ASSERT_LT(first, layout.columns.last_cell(block_column));
  MapRaster raster(MapRaster::Kind::Boundary, layout);
  feed(raster, 10, 2001, 20, [&](std::int64_t r, std::int64_t col) {
    return r != lone_row ? integer_field(1) : col == first ? integer_field(7) : col == first + 1 ? integer_field(2) : integer_field(1);
  });
  raster.finish();
  const auto block = static_cast<std::size_t>(layout.rows.block_of(lone_row) * layout.columns.blocks() + block_column);
  EXPECT_EQ(raster.block_values()[block], 7.0);
}

TEST(MapRaster, ValueBlocksHoldTheMeanAndFlagACellThatCannotBeRead) {
  GridLayout layout;
  layout.columns = AxisLayout(2002);  // blocks of 3; the last holds column 2002 alone
  layout.rows = AxisLayout(4);
  layout.place();
  MapRaster raster(MapRaster::Kind::Values, layout);
  // Each cell holds its column number; row 2, column 10 is asterisks; the
  // file ends after the first line of row 3.
  feed(raster, 4, 2002, 10, [](std::int64_t r, std::int64_t c) {
    return r == 2 && c == 10 ? asterisks() : real_field(static_cast<float>(c));
  }, 2 * 201 + 1);
  raster.finish();
  const std::size_t across = 668;
  const auto& values = raster.block_values();
  const auto& classes = raster.block_classes();
  EXPECT_EQ(values[0], 2.0);                 // columns 1..3
  EXPECT_EQ(values[332], 998.0);             // columns 997..999
  EXPECT_EQ(values[667], 2002.0);            // column 2002 alone
  EXPECT_EQ(classes[across + 3], CellClass::Other);  // row 2, columns 10..12
  EXPECT_TRUE(std::isnan(values[across + 3]));
  EXPECT_EQ(values[across + 2], 8.0);
  EXPECT_EQ(values[2 * across + 2], 8.0);     // row 3, columns 7..9: on the line read
  EXPECT_EQ(classes[2 * across + 3], CellClass::Active);  // columns 10..12: the line ends at 10
  EXPECT_EQ(values[2 * across + 3], 10.0);
  EXPECT_EQ(classes[2 * across + 4], CellClass::NoData);
  EXPECT_EQ(classes[3 * across + 0], CellClass::NoData);
  const MapStats& s = raster.stats();
  EXPECT_EQ(s.cells, 2 * 2002 + 10);
  EXPECT_EQ(s.unreadable, 1);
  EXPECT_EQ(s.low, 1.0);
  EXPECT_EQ(s.high, 2002.0);
  EXPECT_FALSE(s.uniform);
  EXPECT_EQ(raster.scale().index(1.0), 0);
  EXPECT_EQ(raster.scale().index(2002.0), kRampSteps - 1);
}

TEST(MapRaster, AMapOfOneValueIsOneColourOnlyWhenEveryCellIsRead) {
  const GridLayout layout = reduced_layout();
  struct Case {
    const char* name;
    MapRaster::Kind kind;
    Field field;
    std::int64_t lines_read;  // -1: all
    bool asterisks_at_end;
    bool uniform;
    std::uint8_t index;  // of every pixel, when uniform
  };
  const std::vector<Case> cases = {
      {"values, all 5", MapRaster::Kind::Values, real_field(5.0f), -1, false, true, kRampSteps / 2},
      {"boundary, all -1", MapRaster::Kind::Boundary, integer_field(-1), -1, false, true,
       static_cast<std::uint8_t>(CellClass::ConstantHead)},
      {"values, the file ends early", MapRaster::Kind::Values, real_field(5.0f), 900, false, false, 0},
      {"values, the last cell asterisks", MapRaster::Kind::Values, real_field(5.0f), -1, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MapRaster raster(c.kind, layout);
    feed(raster, 10, 2001, 20, [&](std::int64_t r, std::int64_t col) {
      return c.asterisks_at_end && r == 10 && col == 2001 ? asterisks() : c.field;
    }, c.lines_read);
    raster.finish();
    ASSERT_EQ(raster.uniform(), c.uniform);
    if (!c.uniform) continue;
    const IndexedImage image = raster.render();
    for (std::uint8_t pixel : image.pixels) ASSERT_EQ(pixel, c.index);
  }
}

TEST(ValueScale, LogarithmicWherePositiveValuesSpanThreeOrdersOfMagnitude) {
  struct Case {
    double low, high, value;
    bool logarithmic;
    int index;  // of 0 .. kRampSteps - 1 = 249
  };
  const std::vector<Case> cases = {
      {0.0, 10.0, 5.0, false, 125},      // 124.5, rounded half away from zero
      {1e-3, 1e3, 1.0, true, 125},       // the middle of 10^-3 .. 10^3
      {1e-3, 1e3, 1e-3, true, 0},
      {1e-3, 1e3, 1e3, true, 249},
      {1.0, 999.0, 500.0, false, 125},   // a span under 1000 stays linear
      {1.0, 1000.0, 10.0, true, 83},     // exactly three orders: a third of the way
      {-1.0, 1e6, 0.0, false, 0},        // not all positive
      {7.0, 7.0, 7.0, false, 125},       // one value
  };
  for (const Case& c : cases) {
    const ValueScale scale(c.low, c.high);
    EXPECT_EQ(scale.logarithmic(), c.logarithmic) << c.low << ".." << c.high;
    EXPECT_EQ(scale.index(c.value), c.index) << c.low << ".." << c.high << ": " << c.value;
  }
  EXPECT_NEAR(ValueScale(1e-3, 1e3).value_at(0.5), 1.0, 1e-12);
}

// The legend's bar shows the maps' own colours: it starts at the lowest
// value's colour and ends at the highest's.
TEST(ValueScale, TheLegendBarRunsFromTheLowestColourToTheHighest) {
  const std::string stops = ramp_gradient();
  const std::vector<Rgb>& palette = value_palette();
  EXPECT_TRUE(stops.starts_with(css_colour(palette[0]) + ", ")) << stops;
  EXPECT_TRUE(stops.ends_with(", " + css_colour(palette[kRampSteps - 1]))) << stops;
}

TEST(MapRaster, ARowRepeatedCountsAsTheSameRowGivenAgain) {
  // Rows in blocks of 3, columns in blocks of 2; rows 2..2500 repeat row 1.
  GridLayout layout;
  layout.columns = AxisLayout(1203);
  layout.rows = AxisLayout(2500);
  layout.place();
  auto cell = [](std::int64_t, std::int64_t c) {
    if (c % 97 == 0) return asterisks();
    return real_field(static_cast<float>((c * 7919) % 1000) / 8.0f);
  };
  for (MapRaster::Kind kind : {MapRaster::Kind::Values, MapRaster::Kind::Boundary}) {
    auto boundary_cell = [&](std::int64_t, std::int64_t c) {
      return c % 97 == 0 ? asterisks() : integer_field(static_cast<std::int32_t>(c % 4) - 1);
    };
    auto field = [&](std::int64_t r, std::int64_t c) {
      return kind == MapRaster::Kind::Values ? cell(r, c) : boundary_cell(r, c);
    };
    MapRaster plain(kind, layout), repeated(kind, layout);
    feed(plain, 2500, 1203, 10, field);
    feed(repeated, 1, 1203, 10, field);
    for (int r = 2; r <= 2500; ++r) repeated.repeat_row();
    plain.finish();
    repeated.finish();
    EXPECT_EQ(plain.block_bytes(), repeated.block_bytes());
    EXPECT_EQ(plain.stats().cells, repeated.stats().cells);
    EXPECT_EQ(plain.stats().unreadable, repeated.stats().unreadable);
    EXPECT_EQ(plain.stats().class_cells, repeated.stats().class_cells);
    EXPECT_EQ(plain.render().pixels, repeated.render().pixels);
  }
}

// A layer's no-flow cells, from its boundary array, and a value map of the
// layer scaled without them. Heads of 87 + column on the active and
// constant-head cells, 999 in the no-flow ones (what a modeller types there).
TEST(MapRaster, AValueMapIsScaledWithoutTheNoFlowCellsOfItsLayer) {
  struct Case {
    const char* name;
    std::int64_t rows, columns;
    std::function<bool(std::int64_t, std::int64_t)> no_flow;
    // Rows from which each row repeats the one before (lines alike in the
    // file), for both arrays: the no-flow cells may differ where the values
    // do not.
    std::int64_t repeated_from;
  };
  const std::vector<Case> cases = {
      {"a margin of no flow, cells one a pixel", 6, 8, [](std::int64_t, std::int64_t c) { return c >= 7; }, 0},
      {"a corner of no flow, reduced", 40, 2001, [](std::int64_t r, std::int64_t c) { return r <= 5 && c > 1500; }, 0},
      {"values repeated over rows whose no-flow cells differ", 30, 2001,
       [](std::int64_t r, std::int64_t c) { return c > 1500 + 10 * r; }, 2},
      {"a lone no-flow cell", 12, 9, [](std::int64_t r, std::int64_t c) { return r == 4 && c == 5; }, 6},
      // Row 5 repeats row 4's values but not its no-flow cell, and is
      // like the rows after it.
      {"a lone no-flow cell in the row the others repeat", 12, 9,
       [](std::int64_t r, std::int64_t c) { return r == 4 && c == 5; }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GridLayout layout;
    layout.columns = AxisLayout(c.columns);
    layout.rows = AxisLayout(c.rows);
    layout.place();
    std::size_t room = 1 << 20;
    NoFlowCells cells(c.rows, c.columns, room);
    MapRaster boundary(MapRaster::Kind::Boundary, layout);
    boundary.record_no_flow(&cells);
    const auto boundary_field = [&](std::int64_t r, std::int64_t col) {
      return integer_field(col == 1 ? -1 : c.no_flow(r, col) ? 0 : 1);
    };
    // Values alike along a column whatever the row: only a row's no-flow
    // cells tell it from the one before.
    const auto head = [&](std::int64_t r, std::int64_t col) {
      const bool off = c.repeated_from > 0 ? c.no_flow(c.repeated_from - 1, col) : c.no_flow(r, col);
      return real_field(off ? 999.0f : static_cast<float>(87 + col));
    };
    const std::int64_t read_rows = c.repeated_from > 0 ? c.repeated_from - 1 : c.rows;
    feed(boundary, c.rows, c.columns, 20, boundary_field);
    boundary.finish();
    MapRaster heads(MapRaster::Kind::Values, layout);
    heads.scale_without(&cells);
    feed(heads, read_rows, c.columns, 10, head);
    for (std::int64_t r = read_rows + 1; r <= c.rows; ++r) heads.repeat_row();
    heads.finish();

    // What each cell should be: its no-flow state, and its value.
    std::int64_t no_flow_cells = 0;
    double low = 1e9, high = -1e9;
    for (std::int64_t r = 1; r <= c.rows; ++r) {
      for (std::int64_t col = 1; col <= c.columns; ++col) {
        ASSERT_EQ(cells.no_flow(r, col), c.no_flow(r, col) && col != 1) << r << ", " << col;
        const double v = head(c.repeated_from > 0 ? c.repeated_from - 1 : r, col).real;
        if (cells.no_flow(r, col)) {
          ++no_flow_cells;
          continue;
        }
        low = std::min(low, v);
        high = std::max(high, v);
      }
    }
    const MapStats& s = heads.stats();
    EXPECT_EQ(s.cells, c.rows * c.columns);
    EXPECT_EQ(s.no_flow, no_flow_cells);
    EXPECT_EQ(s.low, low);
    EXPECT_EQ(s.high, high);
    EXPECT_EQ(heads.scale().high(), high);
    // A block shows the mean of its cells on the scale; a block of no-flow
    // cells alone is NoFlow, with their mean, and drawn in the no-flow colour.
    const auto& values = heads.block_values();
    const auto& classes = heads.block_classes();
    const std::int64_t across = layout.columns.blocks();
    for (std::int64_t by = 0; by < layout.rows.blocks(); ++by) {
      for (std::int64_t bx = 0; bx < across; ++bx) {
        double sum = 0.0, no_flow_sum = 0.0;
        std::int64_t on_scale = 0, off_scale = 0;
        for (std::int64_t r = layout.rows.first_cell(by); r <= layout.rows.last_cell(by); ++r) {
          for (std::int64_t col = layout.columns.first_cell(bx); col <= layout.columns.last_cell(bx); ++col) {
            const double v = head(c.repeated_from > 0 ? c.repeated_from - 1 : r, col).real;
            (cells.no_flow(r, col) ? no_flow_sum : sum) += v;
            ++(cells.no_flow(r, col) ? off_scale : on_scale);
          }
        }
        const auto at = static_cast<std::size_t>(by * across + bx);
        ASSERT_EQ(classes[at], on_scale > 0 ? CellClass::Active : CellClass::NoFlow) << bx << ", " << by;
        ASSERT_DOUBLE_EQ(values[at], on_scale > 0 ? sum / on_scale : no_flow_sum / off_scale) << bx << ", " << by;
      }
    }
    const IndexedImage image = heads.render();
    int grey = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        bool any_on_scale = false;
        for (std::int64_t by = layout.rows.first_block(y); by <= layout.rows.last_block(y); ++by) {
          for (std::int64_t bx = layout.columns.first_block(x); bx <= layout.columns.last_block(x); ++bx) {
            any_on_scale = any_on_scale || classes[static_cast<std::size_t>(by * across + bx)] == CellClass::Active;
          }
        }
        const std::uint8_t pixel = image.pixels[static_cast<std::size_t>(y * image.width + x)];
        ASSERT_EQ(pixel == kNoFlowIndex, !any_on_scale) << x << ", " << y;
        grey += pixel == kNoFlowIndex;
      }
    }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(image.palette[kNoFlowIndex], class_colour(CellClass::NoFlow));
  }
}

TEST(NoFlowCells, BitsBeyondTheRoomLeaveTheLayerUnknown) {
  std::size_t room = 64;  // bytes: 8 rows of one 64-bit word
  NoFlowCells fits(8, 60, room), too_big(9, 60, room);
  fits.mark(8, 60);
  EXPECT_TRUE(fits.any());
  EXPECT_EQ(room, 0u);
  too_big.mark(1, 1);
  EXPECT_FALSE(too_big.any());
  EXPECT_TRUE(too_big.overflowed());
  EXPECT_FALSE(too_big.no_flow(1, 1));
  NoFlowCells none(9, 60, room);
  EXPECT_FALSE(none.overflowed());  // no no-flow cell: nothing asked of the room
}

// Decoded by libpng, written apart from the encoder: every pixel must come
// back as its palette colour, at each bit depth, with rows that fill their
// last byte exactly, partly (37 pixels) and barely (1 pixel).
TEST(PngImage, DecodesToThePaletteColoursOfItsPixels) {
  struct Size {
    int width, height;
  };
  for (Size size : {Size{37, 11}, Size{1, 1}, Size{8, 3}, Size{1000, 2}}) {
    for (std::size_t colours : {1u, 2u, 4u, 5u, 16u, 17u, 252u, 256u}) {
      SCOPED_TRACE(std::to_string(size.width) + " by " + std::to_string(size.height) + ", " +
                   std::to_string(colours) + " colours");
      IndexedImage image;
      image.width = size.width;
      image.height = size.height;
      for (std::size_t i = 0; i < colours; ++i) {
        image.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                 static_cast<std::uint8_t>(i * 7)});
      }
      std::uint32_t state = 12345;
      for (int i = 0; i < image.width * image.height; ++i) {
        state = state * 1103515245u + 12345u;
        image.pixels.push_back(static_cast<std::uint8_t>((state >> 16) % colours));
      }
      image.pixels.back() = static_cast<std::uint8_t>(colours - 1);  // the highest index, last
      const std::string file = encode_png(image);
      png_image decoded{};
      decoded.version = PNG_IMAGE_VERSION;
      ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, file.data(), file.size())) << decoded.message;
      EXPECT_EQ(decoded.width, static_cast<png_uint_32>(size.width));
      EXPECT_EQ(decoded.height, static_cast<png_uint_32>(size.height));
      decoded.format = PNG_FORMAT_RGB;
      std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(decoded));
      ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, rgb.data(), 0, nullptr)) << decoded.message;
      for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const Rgb& want = image.palette[image.pixels[i]];
        ASSERT_EQ((Rgb{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}), want) << "pixel " << i;
      }
    }
  }
}

TEST(PngImage, RefusesAnImageWhosePartsDisagree) {
  IndexedImage image;
  image.width = 2;
  image.height = 2;
  image.palette = {{0, 0, 0}, {255, 255, 255}};
  image.pixels = {0, 1, 1, 0};
  EXPECT_NO_THROW(encode_png(image));
  IndexedImage outside = image;
  outside.pixels[3] = 2;  // no third colour: at one bit a pixel, it would spill into its neighbour
  IndexedImage short_of_pixels = image;
  short_of_pixels.pixels.pop_back();
  IndexedImage no_palette = image;
  no_palette.palette.clear();
  for (const IndexedImage& bad : {outside, short_of_pixels, no_palette}) {
    EXPECT_THROW(encode_png(bad), std::invalid_argument);
  }
}

TEST(HtmlText, FileBytesBecomeSafeText) {
  struct Case {
    std::string bytes, html, json;
  };
  const std::vector<Case> cases = {
      {"Riverside <b>&\"'", "Riverside &lt;b&gt;&amp;&quot;&#39;", "\"Riverside \\u003cb\\u003e\\u0026\\\"'\""},
      {"tab\there", "tab\there", "\"tab\\there\""},
      {"caf\xC3\xA9", "caf\xC3\xA9", "\"caf\xC3\xA9\""},                      // UTF-8 kept
      {"caf\xE9!", "caf\xEF\xBF\xBD!", "\"caf\\ufffd!\""},                    // Latin-1 byte
      {"\x01\x7F", "\xEF\xBF\xBD\xEF\xBF\xBD", "\"\\ufffd\\ufffd\""},         // control bytes
      {"\xC0\xAF \xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       "\"\\ufffd\\ufffd \\ufffd\\ufffd\\ufffd\""},                           // overlong, surrogate
      {"</script>", "&lt;/script&gt;", "\"\\u003c/script\\u003e\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(html(c.bytes), c.html);
    std::string json;
    append_json_string(json, c.bytes);
    EXPECT_EQ(json, c.json);
  }
  EXPECT_EQ(number_text(0.05f), "0.05");
  EXPECT_EQ(number_text(1000.0f), "1000");
  EXPECT_EQ(number_text(3.4028235e38f), "3.4028235e+38");
  EXPECT_EQ(count_text(1234567), "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567");
}

// The test vectors of RFC 4648: each count of bytes left over a group of three.
TEST(EmbeddedBytes, Base64OfEachLengthLeftOver) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(base64(bytes), text) << bytes;
}

}  // namespace
}  // namespace report
