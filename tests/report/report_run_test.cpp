// gwinspect report end to end: the page of a model the builders wrote is
// self-contained and small, damage in a file is told while the rest is
// shown, and the maps keep to the page's room.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "report/model_facts.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "report/report_page.h"

extern char** environ;

namespace report {
namespace {

using testing_support::count;
using testing_support::read_file;
using testing_support::Scratch;

std::string example(const std::string& name) { return read_file(std::string(EXAMPLES_DIR) + "/" + name); }

// Runs the three builders on answers in `dir`.
void build_model(const Scratch& dir, const std::string& morvek, const std::string& cindral,
                 const std::string& quillet) {
  for (auto [program, answers] : {std::pair{MORVEK_PATH, morvek}, {CINDRAL_PATH, cindral}, {QUILLET_PATH, quillet}}) {
    if (answers.empty()) continue;
    ASSERT_EQ(testing_support::run_redirected(program, dir, answers).exit_status, 0) << program;
  }
}

struct ReportRun {
  int status = -1;
  std::string err;
};
// gwinspect report DIR -o DIR/report.html [extra...]
ReportRun run_report(const Scratch& dir, const std::vector<std::string>& extra = {}) {
  const std::string out = dir.file("report.html"), err = dir.file(".report-stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> words = {GWINSPECT_PATH, "report", dir.path(), "-o", out};
  words.insert(words.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ReportRun run;
  if (posix_spawn(&pid, GWINSPECT_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.err = read_file(err);
  return run;
}

bool valid_utf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

TEST(Report, ThePageNeedsNothingFromOutsideAndStaysSmall) {
  // The faulty example: findings of every kind, drains, all three files.
  Scratch dir;
  build_model(dir, example("faulty/morvek.txt"), example("faulty/cindral.txt"), example("faulty/quillet.txt"));
  const ReportRun run = run_report(dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = dir.read("report.html");
  EXPECT_LT(page.size(), 60'000u);  // a few tens of kB
  EXPECT_TRUE(valid_utf8(page));
  // Every address in the page is its own data or a place in it.
  const std::regex address(R"re((src|href|action|poster|srcset)\s*=\s*"([^"]*)")re", std::regex::icase);
  for (std::sregex_iterator it(page.begin(), page.end(), address), end; it != end; ++it) {
    const std::string target = (*it)[2];
    EXPECT_TRUE(target.starts_with("data:image/png;base64,") || target.starts_with("#")) << target.substr(0, 80);
  }
  for (const char* outside : {"<link", "@import", "url(", "http:", "https:", "<iframe", "<object", "fetch("}) {
    EXPECT_EQ(count(page, outside), 0u) << outside;
  }
  // It carries its own style sheet and script, each whole: without them a
  // reader sees bare text and maps that do not respond.
  const std::string style = read_file(std::string(REPORT_SOURCE_DIR) + "/page.css");
  const std::string script = read_file(std::string(REPORT_SOURCE_DIR) + "/page.js");
  ASSERT_FALSE(style.empty());
  ASSERT_FALSE(script.empty());
  EXPECT_EQ(count(page, "<style>\n" + style + "</style>"), 1u);
  EXPECT_EQ(count(page, "<script>\n" + script + "</script>"), 1u);
  // One figure per array: 2 layers, boundary and starting heads; FOR011's
  // arrays are left out, its grid being 8 columns wide. An array of one
  // value has a swatch instead of a picture.
  EXPECT_EQ(count(page, "<figure class=\"map"), 4u);
  EXPECT_EQ(count(page, "data:image/png;base64,") + count(page, "<figure class=\"map one-value\""), 4u);
  EXPECT_NE(page.find("its arrays are not drawn: its lists give a grid of 6 rows by 8 columns"), std::string::npos);
  EXPECT_NE(page.find("drain 2 of stress period 1 is in row 40; the grid has 6 rows"), std::string::npos);
}

// Two layers of 6 rows by 10 columns. Layer 1: constant head in column 1,
// no flow in columns 9 and 10 (12 cells) with the heads `no_flow_heads`
// typed there, 100 + 10 * column elsewhere (110 to 180). Layer 2: every cell
// active, every head 100.
std::string no_flow_margin_answers(const std::pair<std::string, std::string>& no_flow_heads) {
  std::string a = "Margin\nheads of 999 where no flow\n2\n6\n10\n1\n4\n";
  for (int i = 0; i < 11; ++i) a += "0\n";
  a += "0\n0\n1\n";
  for (int r = 1; r <= 6; ++r) {
    for (int c = 1; c <= 10; ++c) a += c == 1 ? "-1\n" : c >= 9 ? "0\n" : "1\n";
  }
  a += "0\n1\n999\n1\n";
  for (int r = 1; r <= 6; ++r) {
    for (int c = 1; c <= 10; ++c) {
      a += (c == 9 ? no_flow_heads.first : c == 10 ? no_flow_heads.second : std::to_string(100 + 10 * c)) + "\n";
    }
  }
  return a + "0\n100\n1\n1\n1\n";
}

TEST(Report, ValueMapsAreScaledOverTheActiveModelInTheLengthUnitNamed) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> shown;  // in the page, or on standard error for status 2
    std::pair<std::string, std::string> no_flow_heads = {"999", "999"};  // in columns 9 and 10
  };
  const std::string scale = "<span class=\"low\">110</span><span class=\"mid\">145</span><span class=\"high\">180</span>";
  const std::vector<Case> cases = {
      {{"--length-unit", "ft"}, 0,
       {scale, "in ft, over the active and constant-head cells",
        "no flow, not in the scale: 12 cells, holding 999 ft (outside the scale)", "no flow (0): 12 cells",
        "every cell: 1 (active)", "every cell: 100 ft", "Head at no-flow cells</dt><dd>999 ft",
        "Lengths are in ft"}},
      {{}, 0,
       {scale, "in length, over the active and constant-head cells",
        "holding 999 length (outside the scale)", "every cell: 100 length", "\"lengthUnit\":\"length\"",
        "The files do not name the model's unit of length"}},
      {{"--length-unit="}, 2, {"--length-unit needs a short NAME without spaces"}},
      {{"--length-unit", "metres per"}, 2, {"--length-unit needs a short NAME without spaces"}},
      {{"--length-unit"}, 2, {"--length-unit needs a NAME"}},
      // The no-flow heads' range to the 7 digits of a 32-bit real: 0.3 is 0.300000012.
      {{"--length-unit", "ft"}, 0, {"holding 0.1 to 0.3 ft (outside the scale)"}, {"0.1", "0.3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.arguments.empty() ? "no unit" : c.arguments.back()) + ", no-flow heads " + c.no_flow_heads.first + " and " + c.no_flow_heads.second);
    Scratch dir;
    build_model(dir, no_flow_margin_answers(c.no_flow_heads), "", "");
    const ReportRun run = run_report(dir, c.arguments);
    ASSERT_EQ(run.status, c.status) << run.err;
    const std::string shown = c.status == 0 ? dir.read("report.html") : run.err;
    for (const std::string& s : c.shown) EXPECT_NE(shown.find(s), std::string::npos) << s;
    if (c.status != 0) continue;
    // Nothing reads as litres; the folder is named by its own name.
    EXPECT_EQ(shown.find(" L/"), std::string::npos);
    EXPECT_EQ(shown.find(" L<"), std::string::npos);
    const std::string folder = std::filesystem::path(dir.path()).filename().string();
    EXPECT_NE(shown.find("The model in the folder <code>" + folder + "</code>"), std::string::npos);
    // Layer 1's two maps are drawn; layer 2's two arrays of one value are said.
    EXPECT_EQ(count(shown, "data:image/png;base64,"), 2u);
    EXPECT_EQ(count(shown, "<figure class=\"map one-value\""), 2u);
  }
}

// Keeps the first `lines` lines of `file` in `dir`, as a write stopped there would.
void cut(const Scratch& dir, const char* file, std::size_t lines) {
  std::string text = dir.read(file);
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines; ++i) at = text.find('\n', at) + 1;
  dir.write(file, text.substr(0, at));
}

// The example model with `file` cut after its first `lines` lines, read.
ModelFacts read_cut_example(const char* file, std::size_t lines) {
  Scratch dir;
  build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
  cut(dir, file, lines);
  return read_model(dir.path());
}

TEST(Report, DamageInAFileIsToldAndTheRestIsShown) {
  struct Case {
    const char* name;
    std::function<void(const Scratch&)> damage;
    int status;
    std::vector<std::string> shown;  // in the page, or on standard error for status 2
    std::size_t figures;  // of arrays, drawn or of one value
  };
  const std::vector<Case> cases = {
      {"FOR001 missing", [](const Scratch& dir) { std::remove(dir.file("FOR001").c_str()); }, 2,
       {"FOR001: error: expected a readable file, found none"}, 0},
      {"FOR001 cut in row 3 of layer 2's boundary",
       [&](const Scratch& dir) { cut(dir, "FOR001", 15); }, 0,
       {"as far as it ends before row 3 of IBOUND- of layer 2",
        "FOR001 cannot be read to the end of this array: cells past that point have no data."}, 8},
      // Nothing after a record that cannot be read is read as the record.
      {"FOR001 with letters for its layer count", [](const Scratch& dir) {
         std::string text = dir.read("FOR001");
         dir.write("FOR001", text.replace(text.find("         2         6"), 10, "       two"));
       }, 0, {"as far as line 3, column 1: expected the number of layers (I10), found "}, 0},
      {"FOR001 cut after its dimension record", [&](const Scratch& dir) { cut(dir, "FOR001", 3); }, 0,
       {"<dt>Grid</dt><dd>2 layers, 6 rows, 7 columns ", "as far as it ends before the module unit table"}, 6},
      {"FOR011 cut inside layer 1's arrays", [&](const Scratch& dir) { cut(dir, "FOR011", 12); }, 0,
       {"FOR011: present; read as far as it ends before row 4 of SF1- of layer 1"}, 5},
      {"FOR011 with letters for its simulation type", [](const Scratch& dir) {
         std::string text = dir.read("FOR011");
         dir.write("FOR011", text.replace(0, 10, "      zero"));
       }, 0, {"<p>FOR011 could not be read: line 1, column 1: expected the simulation type (I10), found "}, 4},
      // One anisotropy factor for two layers: FOR011 cannot be read past it,
      // and layer 2's row shows none.
      {"FOR011 with one anisotropy factor for two layers", [](const Scratch& dir) {
         std::string text = dir.read("FOR011");
         dir.write("FOR011", text.replace(text.find("  1.00      1.00    "), 20, "  1.00              "));
       }, 0, {"<tr><td>2</td><td>0</td><td>confined</td><td>\xE2\x80\x94</td></tr>"}, 4},
      {"FOR013 with letters for its most drains", [](const Scratch& dir) {
         std::string text = dir.read("FOR013");
         dir.write("FOR013", text.replace(0, 10, "    twenty"));
       }, 0, {"<p>FOR013 could not be read: line 1, column 1: expected the maximum number of drains (I10), found "}, 10},
      {"FOR013 with letters for a row", [](const Scratch& dir) {
         std::string text = dir.read("FOR013");
         dir.write("FOR013", text.replace(text.find("         5"), 10, "      five"));
       }, 0, {">FOR013:3:11</span> <span class=\"message\">the row of drain 1 of stress period 1 is not a number"}, 10},
      // Period 2's reuse code too wide for its field: neither a reuse nor a
      // count of drains is in the file, and the map's data says so too.
      {"FOR013 with asterisks for period 2's use code", [](const Scratch& dir) {
         std::string text = dir.read("FOR013");
         dir.write("FOR013", text.replace(text.find("        -1"), 10, "**********"));
       }, 0, {"<td>use code ********** (too wide for its field) cannot be read: no drains are read for it</td>",
              "\"periods\":[[0,2],[-1,null],[1,1]]"}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
    c.damage(dir);
    const ReportRun run = run_report(dir);
    ASSERT_EQ(run.status, c.status) << run.err;
    const std::string shown = c.status == 0 ? dir.read("report.html") : run.err;
    for (const std::string& s : c.shown) EXPECT_NE(shown.find(s), std::string::npos) << s;
    EXPECT_EQ(count(shown, "<figure class=\"map"), c.figures);
  }
}

// What the report's reader takes from files that end early, before the
// page is made of it: a FOR001 that ends after its titles gives no grid, no
// time unit and no module table (nothing of them is guessed), and FOR011 and
// FOR013 are still read; a FOR013 that ends inside the drains of its first
// period keeps the one drain it has. The example: FOR013 lines 1 header, 2
// use code 2, 3 the drain at layer 1, row 5, column 6 (95.5, .100E+04).
TEST(Report, FilesEndingEarlyAreReadAsFarAsTheyGo) {
  {
    const ModelFacts facts = read_cut_example("FOR001", 2);
    EXPECT_EQ(facts.basic.file.problem, "it ends before the dimension record");
    EXPECT_EQ(facts.basic.records_read, 2);
    EXPECT_EQ(facts.basic.title_1.substr(0, 13), "Riverside val");
    EXPECT_EQ(facts.basic.grid.layers, 0);
    EXPECT_EQ(facts.basic.grid.rows, 0);
    EXPECT_EQ(facts.basic.period_count, 0);
    EXPECT_EQ(facts.basic.time_unit, 0);
    EXPECT_EQ(facts.basic.module_units, (std::array<std::int32_t, 24>{}));
    EXPECT_TRUE(facts.maps.empty());
    EXPECT_TRUE(facts.flow.lists_read);
    EXPECT_EQ(facts.drains.periods_read, 3);
    EXPECT_EQ(facts.drains.file.problem, "");
  }
  {
    const ModelFacts facts = read_cut_example("FOR013", 3);
    EXPECT_EQ(facts.drains.file.problem, "it ends before the record of drain 2 of stress period 1");
    EXPECT_EQ(facts.basic.time_unit, 4);
    EXPECT_EQ(facts.drains.periods_read, 1);
    EXPECT_EQ(facts.drains.drains_read, 1);
    ASSERT_EQ(facts.drains.lists.size(), 1u);
    EXPECT_EQ(facts.drains.lists[0].use_code, 2);
    EXPECT_EQ(facts.drains.lists[0].count, 1);
    ASSERT_EQ(facts.drains.drains.size(), 1u);
    const DrainRecord& d = facts.drains.drains[0];
    EXPECT_EQ(std::vector<float>({float(d.layer), float(d.row), float(d.column), d.elevation, d.conductance}),
              std::vector<float>({1, 5, 6, 95.5f, 1000}));
  }
}

// The text between `from` and the next `to` after it ("" when absent).
std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return "";
  const std::size_t end = text.find(to, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string without_tags(const std::string& html) { return std::regex_replace(html, std::regex("<[^>]*>"), ""); }

// Cindral's example answers with column `column`'s width along rows `width`.
std::string with_row_width(int column, const std::string& width) {
  std::string cindral = example("cindral.txt");
  const std::size_t at = cindral.find("    cell width along rows, column " + std::to_string(column) + "\n");
  const std::size_t line = cindral.rfind('\n', at) + 1;
  return cindral.replace(line, at - line, width);
}

TEST(Report, ThePageSaysWhatTheFilesHold) {
  using Facts = std::vector<std::pair<std::string, std::string>>;  // term, value as read
  using Modules = std::map<int, std::pair<std::string, std::string>>;  // slot: unit, file
  struct Case {
    const char* name;
    std::function<void(const Scratch&)> build;
    Facts facts;  // every fact of the summary, in order; empty: not compared
    Modules modules;  // the rows of these slots
    std::vector<std::string> places;  // a finding's place, linked or not
  };
  const std::string dash = "\xE2\x80\x94";
  // The example model's summary, every fact in order.
  const Facts example_facts = {
      {"Grid", "2 layers, 6 rows, 7 columns (42 cells a layer)"}, {"Stress periods", "3"},
      {"Time unit", "4 (days)"}, {"Memory sharing", "1 (no)"}, {"Save starting heads", "1 (yes)"},
      {"Head at no-flow cells", "999 length"}, {"Read", "the whole file"},
      {"Simulation", "0 (transient)"}, {"Cell-by-cell output code", "0 (flow terms not printed)"},
      {"Cell widths along rows (DELR-)", "7 widths, from 100 to 200 length"},
      {"Cell widths along columns (DELC-)", "6 widths, all 100 length"},
      {"Most drains in a period", "20"}, {"Flow term output code", "0 (flow terms not printed)"},
      {"Stress periods", "3"}, {"Drain records", "3"}, {"Read", "the whole file"}};
  // The example's facts with another summary of its DELR- list.
  const auto with_delr = [&](const std::string& delr) {
    Facts facts = example_facts;
    facts[9].second = delr;
    return facts;
  };
  const std::vector<Case> cases = {
      {"the example model",
       [](const Scratch& dir) { build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt")); },
       example_facts,
       {{1, {"11", "FOR011: present"}}, {2, {dash, "not used"}}, {3, {"13", "FOR013: present"}}},
       {}},
      // The range of widths counts the first one too.
      {"the first width along rows the only narrowest",
       [](const Scratch& dir) { build_model(dir, example("morvek.txt"), with_row_width(1, "50.0"), example("quillet.txt")); },
       with_delr("7 widths, from 50 to 200 length"), {}, {}},
      // One width of zero is told, with the others.
      {"one width along rows zero",
       [](const Scratch& dir) { build_model(dir, example("morvek.txt"), with_row_width(7, "0.0"), example("quillet.txt")); },
       with_delr("7 widths, from 0 to 200 length; 1 is not above zero"), {}, {}},
      // A width that is not a number is told, and left out of the range.
      {"one width along rows not a number",
       [](const Scratch& dir) {
         build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
         std::string flow = dir.read("FOR011");
         dir.write("FOR011", flow.replace(flow.find("200.    \r\n"), 4, "2x0."));
       },
       with_delr("7 widths, from 100 to 200 length; 1 cannot be read"), {}, {}},
      {"block-centred flow not selected, its file there",
       [](const Scratch& dir) {
         std::string morvek = example("morvek.txt");
         morvek[morvek.find("1    Block Centered Flow")] = '0';
         build_model(dir, morvek, example("cindral.txt"), example("quillet.txt"));
       },
       {}, {{1, {dash, "FOR011: present, though the module is not used"}}, {3, {"13", "FOR013: present"}}}, {}},
      {"drains, the solver and output control selected, their files missing",
       [](const Scratch& dir) {
         build_model(dir, example("faulty/morvek.txt"), example("faulty/cindral.txt"), "");
       },
       {},
       {{3, {"13", "FOR013: missing"}},
        {9, {"19", "FOR019: missing (made by other means than these builders)"}},
        {12, {"22", "FOR022: missing (made by other means than these builders)"}}},
       {}},
      // FOR001 ends after layer 1's boundary (its lines 6 to 12): layer 2
      // has no map. Drains 1 and 2 share a cell of layer 2; drain 3 lies in
      // the no-flow cell at row 6, column 7 of layer 1.
      {"a finding in a layer without a map",
       [](const Scratch& dir) {
         build_model(dir, example("morvek.txt"), "",
                     "20\n0\n1\n3\n2\n3\n4\n88.0\n1.0\n2\n3\n4\n88.0\n1.0\n1\n6\n7\n95.5\n1.0\n");
         std::string basic = dir.read("FOR001");
         std::size_t end = 0;
         for (int line = 0; line < 12; ++line) end = basic.find('\n', end) + 1;
         dir.write("FOR001", basic.substr(0, end));
       },
       {},
       {},
       {"<span class=\"place\">FOR013:4:1</span>", "<a class=\"place\" href=\"#layer-1\" data-finding=\"4\">FOR013:5:1</a>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    c.build(dir);
    const ReportRun run = run_report(dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = dir.read("report.html");
    // The first title heads the page, once.
    EXPECT_EQ(count(page, "<h1"), 1u);
    EXPECT_NE(page.find("<h1>Riverside valley aquifer, two-layer model</h1>"), std::string::npos);
    if (!c.facts.empty()) {
      Facts facts;
      const std::string summary = between(page, "<section id=\"summary\"", "</section>");
      const std::regex fact("<dt>(.*?)</dt><dd>(.*?)</dd>");
      for (std::sregex_iterator it(summary.begin(), summary.end(), fact), end; it != end; ++it) {
        facts.emplace_back(without_tags((*it)[1]), without_tags((*it)[2]));
      }
      EXPECT_EQ(facts, c.facts);
    }
    Modules modules;
    const std::string table = between(page, "<table class=\"modules\">", "</table>");
    const std::regex row("<tr><td>(\\d+)</td><td>[^<]*</td><td>([^<]*)</td><td>([^<]*)</td></tr>");
    for (std::sregex_iterator it(table.begin(), table.end(), row), end; it != end; ++it) {
      const int slot = std::stoi((*it)[1]);
      if (c.modules.contains(slot)) modules[slot] = {(*it)[2], (*it)[3]};
    }
    EXPECT_EQ(modules, c.modules);
    for (const std::string& place : c.places) EXPECT_NE(page.find(place), std::string::npos) << place;
    // Every place the page links to is on the page.
    const std::regex link("href=\"#([^\"]*)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
      EXPECT_NE(page.find("id=\"" + (*it)[1].str() + "\""), std::string::npos) << (*it)[0];
    }
    // The example's contents link each layer's maps once; its stress
    // periods, each row the period's own: FOR001's length, steps and
    // multiplier, then FOR013's use code as drains.
    if (c.facts == example_facts) {
      // The page's data carries each finding for its tooltips: its place and message.
      EXPECT_NE(page.find(",\"findings\":[{\"text\":\"FOR001:4:25: no solver is selected: the simulator "
                          "needs one, Strongly Implicit (unit 19) or SSOR (unit 21)\"}]"),
                std::string::npos);
      EXPECT_NE(page.find("<li><a href=\"#maps\">Maps</a>: <a href=\"#layer-1\">layer 1</a> "
                          "<a href=\"#layer-2\">layer 2</a></li>"),
                std::string::npos);
      EXPECT_EQ(between(between(page, "<table class=\"periods\">", "</table>"), "<tbody>\n", "</tbody>"),
                "<tbody>\n<tr><td>1</td><td>365</td><td>10</td><td>1.2</td><td>2 drains</td></tr>\n"
                "<tr><td>2</td><td>180</td><td>6</td><td>1.5</td><td>reuses period 1\xE2\x80\x99s 2 drains (-1)</td></tr>\n"
                "<tr><td>3</td><td>30</td><td>5</td><td>1</td><td>1 drain</td></tr>\n");
    }
  }
}

// The page as a reader reads it: its text, line by line, with the tags of a
// phrase (links, code, spans, bold) taken out, a table's cells joined by
// " | ", a term and its value by ": ", and every other tag a line break;
// the style sheet, the script and its data left out.
std::vector<std::string> page_text(std::string page) {
  // Cut out by search: std::regex recurses once a character matched, and
  // the style sheet is long enough to overflow the stack of a sanitizer build.
  for (const char* tag : {"style", "script"}) {
    std::string kept;
    std::size_t from = 0;
    for (std::size_t at; (at = page.find(std::string("<") + tag, from)) != std::string::npos;) {
      kept.append(page, from, at - from).push_back('\n');
      const std::size_t end = page.find(std::string("</") + tag + ">", at);
      from = end == std::string::npos ? page.size() : end + std::strlen(tag) + 3;
    }
    page = kept.append(page, from);
  }
  page = std::regex_replace(page, std::regex("</?(a|code|span|strong)( [^>]*)?>"), "");
  page = std::regex_replace(page, std::regex("</t[dh]><t[dh][^>]*>"), " | ");
  page = std::regex_replace(page, std::regex("</dt><dd>"), ": ");
  page = std::regex_replace(page, std::regex("<[^>]*>"), "\n");
  std::vector<std::string> lines;
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos) lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
  }
  return lines;
}

// Every line of the example's page and of the faulty example's, from their
// answers: the titles; the one finding of the example (no solver) and the
// faulty one's five; FOR001's counts and options; the module table's
// slots; FOR011's header, widths (200 150 100 100 100 150 200 along rows,
// 100 along columns; the faulty one lists 8 for 7 columns, so its arrays
// are not drawn and its cells are squares) and layer types; FOR013's
// header and its three periods (2 drains, -1, 1 drain); then each layer's
// maps: layer 1 with 6 constant-head cells in column 1 and the no-flow
// cells at (5, 7), (6, 6) and (6, 7), layer 2 all active; every other array
// of one value. FOLDER stands for the folder's name.
TEST(Report, TheExamplesPagesReadWhole) {
  // A boundary map: its control record's line, its labels, its cells of each kind.
  const auto boundary = [](int line, int constant_head, int no_flow, int active) {
    return "Boundary IBOUND- in FOR001, line " + std::to_string(line) + "\ncolumn\nrow\n1234567\n123456\n" +
           "constant head (\xE2\x88\x92" "1): " + std::to_string(constant_head) + " cells\nno flow (0): " +
           std::to_string(no_flow) + " cells\nactive (1): " + std::to_string(active) +
           " cells\ndrain (stress period 1)\n";
  };
  const std::string head = R"(Riverside valley aquifer, two-layer model
Riverside valley aquifer, two-layer model
Drained meadow, trial 1
The model in the folder FOLDER, as gwinspect report reads it.
Findings
Summary
Stress periods
Maps: layer 1 layer 2
Findings
)";
  const std::string basic = R"(Summary
Basic file (FOR001)
Grid: 2 layers, 6 rows, 7 columns (42 cells a layer)
Stress periods: 3
Time unit: 4 (days)
Memory sharing: 1 (no)
Save starting heads: 1 (yes)
Head at no-flow cells: 999 length
Read: the whole file
The files do not name the model's unit of length: the page writes "length" (gwinspect report --length-unit m names it).
Modules and their files
Slot | Module | Unit | File
1 | Block Centered Flow | 11 | FOR011: present
2 | Wells | — | not used
3 | Drains | 13 | FOR013: present
4 | Rivers | — | not used
5 | Evapo-Transpiration | — | not used
7 | General Head Boundary | — | not used
8 | Recharge | — | not used
)";
  const std::string flow = R"(19 | Interbed Storage | — | not used
Block-centred flow (FOR011)
Simulation: 0 (transient)
Cell-by-cell output code: 0 (flow terms not printed)
)";
  const std::string types_and_drains = R"(Layer types and anisotropy
Layer | Type code | Type | Anisotropy (Tcol/Trow)
1 | 1 | unconfined | 1
2 | 0 | confined | 1
Drains (FOR013)
Most drains in a period: 20
Flow term output code: 0 (flow terms not printed)
Stress periods: 3
Drain records: 3
Read: the whole file
Stress periods
Period | Length (days) | Time steps | Multiplier | Drains (FOR013)
1 | 365 | 10 | 1.2 | 2 drains
2 | 180 | 6 | 1.5 | reuses period 1’s 2 drains (-1)
3 | 30 | 5 | 1 | 1 drain
Maps
)";
  const std::string picker = R"(Hover over a cell to see its values, or Tab to a map and move through its cells with the arrow keys.Tap a cell to see its values.The drains marked are those of stress period 1 of 3.
&#9664; Previous
Drains of stress period
of 3
Next &#9654;
Layer 1 (unconfined)
)" + boundary(6, 6, 3, 33);
  const std::string layer_1_heads = "Starting head SHEAD- in FOR001, line 21\nevery cell: 100 length\n";
  const std::string layer_2 = "Layer 2 (confined)\n" + boundary(13, 0, 0, 42) +
                              "Starting head SHEAD- in FOR001, line 28\nevery cell: 98.5 length\n";
  const std::string example_page =
      head + R"(1 error, 0 warnings from gwinspect check. A finding about a cell is marked on the maps of its layer; its place shows the cell.
error FOR001:4:25 no solver is selected: the simulator needs one, Strongly Implicit (unit 19) or SSOR (unit 21)
)" + basic + R"(9 | Strongly Implicit Procedure | — | not used
11 | Slice Successive Over Relaxation | — | not used
12 | Output Control | — | not used
)" + flow + R"(Cell widths along rows (DELR-): 7 widths, from 100 to 200 length
Cell widths along columns (DELC-): 6 widths, all 100 length
)" + types_and_drains +
      "Row 1 is at the top, column 1 at the left. Cells are drawn with their widths from FOR011 (DELR- along rows, "
      "DELC- along columns). " + picker + layer_1_heads + R"(Primary storage coefficient SF1- in FOR011, line 9
every cell: 0.15
Hydraulic conductivity HYDCON- in FOR011, line 16
every cell: 12.5 length/day
Bottom elevation BOT- in FOR011, line 23
every cell: 85 length
Vertical conductance VCON- in FOR011, line 30
every cell: 0.002 1/day
)" + layer_2 + R"(Primary storage coefficient SF1- in FOR011, line 37
every cell: 1e-04
Transmissivity TRAN- in FOR011, line 44
every cell: 1500 length²/day
)";
  const std::string faulty_page =
      head + R"(4 errors, 1 warning from gwinspect check. A finding about a cell is marked on the maps of its layer; its place shows the cell.
error FOR001:4:25 Strongly Implicit is selected (unit 19), but there is no FOR019: these builders do not write it, so it must be made by other means
error FOR001:4:34 Output Control is selected (unit 22), but there is no FOR022: these builders do not write it, so it must be made by other means
error FOR011:6:71 the DELR- list gives widths of 8 columns; the grid has 7 columns (FOR001:3)
warning FOR013:3:1 drain 1 of stress period 1 is in a no-flow cell (boundary value 0 at FOR001:11:19): the simulator ignores it (layer 1, row 5, column 7)
error FOR013:4:11 drain 2 of stress period 1 is in row 40; the grid has 6 rows (FOR001:3)
)" + basic + R"(9 | Strongly Implicit Procedure | 19 | FOR019: missing (made by other means than these builders)
11 | Slice Successive Over Relaxation | — | not used
12 | Output Control | 22 | FOR022: missing (made by other means than these builders)
)" + flow + R"(Cell widths along rows (DELR-): 8 widths, from 100 to 200 length
Cell widths along columns (DELC-): 6 widths, all 100 length
FOR011: its arrays are not drawn: its lists give a grid of 6 rows by 8 columns, FOR001 one of 6 by 7.
)" + types_and_drains +
      "Row 1 is at the top, column 1 at the left. Cells are drawn as squares: the DELR- list of FOR011 holds 8 widths "
      "for the 7 columns of FOR001. " + picker + "finding (see Findings above)\n" + layer_1_heads + layer_2;
  for (const auto& [examples, expected] : {std::pair{"", example_page}, {"faulty/", faulty_page}}) {
    SCOPED_TRACE(std::string(examples) + "*.txt");
    Scratch dir;
    build_model(dir, example(std::string(examples) + "morvek.txt"), example(std::string(examples) + "cindral.txt"),
                example(std::string(examples) + "quillet.txt"));
    ASSERT_EQ(run_report(dir).status, 0);
    const std::string folder = std::filesystem::path(dir.path()).filename().string();
    std::vector<std::string> lines;
    std::istringstream in(expected);
    for (std::string line; std::getline(in, line);) {
      if (const std::size_t at = line.find("FOLDER"); at != std::string::npos) line.replace(at, 6, folder);
      lines.push_back(line);
    }
    EXPECT_EQ(page_text(dir.read("report.html")), lines);
  }
}

// The bytes of a zlib stream carried as base64 text, `size` of them inflated.
std::string inflated_base64(const std::string& text, std::size_t size) {
  static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned bits = 0, held = 0;
  for (char c : text) {
    if (c == '=') break;
    bits = (bits << 6) | static_cast<unsigned>(digits.find(c));
    held += 6;
    if (held >= 8) bytes += static_cast<char>((bits >> (held -= 8)) & 0xFF);
  }
  std::string out(size, '\0');
  uLongf length = size;
  const int status = uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                                reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
  EXPECT_EQ(status, Z_OK);
  EXPECT_EQ(length, size);
  return out;
}

// `count` 32-bit little-endian integers or reals from `at`.
template <typename T>
std::vector<T> little_endian(const std::string& bytes, std::size_t at, std::size_t count) {
  std::vector<T> values(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t word = 0;
    for (int b = 3; b >= 0; --b) word = (word << 8) | static_cast<unsigned char>(bytes[at + 4 * i + b]);
    std::memcpy(&values[i], &word, 4);
  }
  return values;
}

// The maps' labels, and what the page's script draws from: the grid's edges as shares of its
// width (DELR- 200 150 100 100 100 150 200 of 1000, DELC- six of 100), the
// units, each map with its one value or its blocks, the drains and their
// periods, the findings. The blocks of layer 1's boundary: its 42 values row
// by row, then each cell's class (0 active, 1 no flow, 2 constant head).
// The drain records: layers, rows, columns, elevations, conductances, each
// for the three drains, as FOR013 holds them (94.25 written as 94.3).
TEST(Report, ThePagesDataIsTheModelAsRead) {
  Scratch dir;
  build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
  ASSERT_EQ(run_report(dir).status, 0);
  const std::string page = dir.read("report.html");
  // Each column's and row's label at its cell's centre: columns 100, 275,
  // 400, 500, 600, 725 and 900 of 1000 along, rows at 50 of 600 and every
  // 100 after.
  EXPECT_NE(page.find("<div class=\"ticks columns\" aria-hidden=\"true\"><span style=\"left:10.000%\">1</span>"
                      "<span style=\"left:27.500%\">2</span><span style=\"left:40.000%\">3</span>"
                      "<span style=\"left:50.000%\">4</span><span style=\"left:60.000%\">5</span>"
                      "<span style=\"left:72.500%\">6</span><span style=\"left:90.000%\">7</span></div>\n"
                      "<div class=\"ticks rows\" aria-hidden=\"true\"><span style=\"top:8.333%\">1</span>"
                      "<span style=\"top:25.000%\">2</span><span style=\"top:41.667%\">3</span>"
                      "<span style=\"top:58.333%\">4</span><span style=\"top:75.000%\">5</span>"
                      "<span style=\"top:91.667%\">6</span></div>"),
            std::string::npos);
  std::string data = between(page, "<script type=\"application/json\" id=\"report-data\">", "</script>");
  std::vector<std::string> streams;
  const std::regex stream("\"(blocks|records)\":\"([A-Za-z0-9+/=]*)\"");
  for (std::sregex_iterator it(data.begin(), data.end(), stream), end; it != end; ++it) streams.push_back((*it)[2]);
  data = std::regex_replace(data, stream, "\"$1\":\"...\"");
  const auto map = [](int layer, const std::string& name, const std::string& unit, const std::string& value) {
    return "{\"layer\":" + std::to_string(layer) + ",\"name\":\"" + name + "\",\"unit\":\"" + unit +
           "\",\"boundary\":" + (name == "Boundary" ? "true" : "false") +
           (value.empty() ? ",\"blocks\":\"...\"}" : ",\"uniform\":" + value + ",\"blocks\":null}");
  };
  EXPECT_EQ(data,
            "<script type=\"application/json\" id=\"report-data\">"
            "{\"columns\":{\"cells\":7,\"perBlock\":1,\"edges\":[0,0.2,0.35,0.45,0.55,0.65,0.8,1]},"
            "\"rows\":{\"cells\":6,\"perBlock\":1,\"edges\":[0,0.1666667,0.3333333,0.5,0.6666667,0.8333333,1]},"
            "\"timeUnit\":\"day\",\"lengthUnit\":\"length\",\"maps\":[" +
                map(1, "Boundary", "", "") + "," + map(1, "Starting head", "length", "100") + "," +
                map(1, "Primary storage coefficient", "", "0.15") + "," +
                map(1, "Hydraulic conductivity", "length/day", "12.5") + "," +
                map(1, "Bottom elevation", "length", "85") + "," + map(1, "Vertical conductance", "1/day", "0.002") +
                "," + map(2, "Boundary", "", "1") + "," + map(2, "Starting head", "length", "98.5") + "," +
                map(2, "Primary storage coefficient", "", "1e-04") + "," +
                map(2, "Transmissivity", "length\xC2\xB2/day", "1500") +
                "],\"drains\":{\"count\":3,\"records\":\"...\",\"lists\":[[0,2,1],[2,1,3]],"
                "\"periods\":[[0,2],[0,-1],[1,1]]},"
                "\"findings\":[{\"text\":\"FOR001:4:25: no solver is selected: the simulator needs one, Strongly "
                "Implicit (unit 19) or SSOR (unit 21)\"}]}");
  ASSERT_EQ(streams.size(), 2u);
  const std::string blocks = inflated_base64(streams[0], 42 * 5);
  std::vector<std::int32_t> values, row = {-1, 1, 1, 1, 1, 1, 1};
  for (int r = 1; r <= 6; ++r) {
    if (r == 5) row[6] = 0;
    if (r == 6) row[5] = 0;
    values.insert(values.end(), row.begin(), row.end());
  }
  EXPECT_EQ(little_endian<std::int32_t>(blocks, 0, 42), values);
  std::string classes;
  for (std::int32_t v : values) classes += static_cast<char>(v == 1 ? 0 : v == 0 ? 1 : 2);
  EXPECT_EQ(blocks.substr(168), classes);
  const std::string drains = inflated_base64(streams[1], 3 * 20);
  EXPECT_EQ(little_endian<std::int32_t>(drains, 0, 9), (std::vector<std::int32_t>{1, 1, 2, 5, 4, 3, 6, 7, 4}));
  EXPECT_EQ(little_endian<float>(drains, 36, 6), (std::vector<float>{95.5f, 94.3f, 88.0f, 1000.0f, 0.05f, 12.5f}));
  // Without FOR013 there are no drains to draw.
  Scratch without;
  build_model(without, example("morvek.txt"), example("cindral.txt"), "");
  ASSERT_EQ(run_report(without).status, 0);
  EXPECT_NE(without.read("report.html").find("],\"drains\":null,\"findings\":["), std::string::npos);
}

TEST(Report, FindingsGatheredAlongsideTheMapsAreThoseGatheredBefore) {
  Scratch dir;
  build_model(dir, example("faulty/morvek.txt"), example("faulty/cindral.txt"), example("faulty/quillet.txt"));
  const std::string before = report_page(read_model(dir.path(), PageBudget(), Checking::Before));
  EXPECT_NE(before.find("4 errors, 1 warning"), std::string::npos);
  EXPECT_EQ(report_page(read_model(dir.path(), PageBudget(), Checking::Alongside)), before);
}

// A grid of no rows, or of no columns, has no cell to draw: no map, and the
// page says so.
TEST(Report, AGridWithoutRowsOrColumnsHasNoMaps) {
  for (const auto& [rows, columns] : {std::pair{"0", "3"}, {"3", "0"}}) {
    SCOPED_TRACE(std::string(rows) + " rows, " + columns + " columns");
    Scratch dir;
    build_model(dir,
                std::string("No cells\nat all\n1\n") + rows + "\n" + columns + "\n1\n4\n" +
                    "0\n0\n0\n0\n0\n0\n0\n0\n1\n0\n0\n1\n1\n0\n1\n999\n0\n100\n365\n10\n1.2\n",
                "", "");
    ASSERT_EQ(run_report(dir).status, 0);
    const std::string page = dir.read("report.html");
    EXPECT_NE(page.find("<h2 id=\"maps-title\">Maps</h2>\n<p>The grid has no cells to draw.</p>\n</section>"),
              std::string::npos);
    EXPECT_EQ(count(page, "<figure"), 0u);
  }
}

TEST(Report, LineEndsOfLFGiveTheSamePageAsCRLF) {
  Scratch crlf, lf;
  build_model(crlf, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
  for (const char* file : {"FOR001", "FOR011", "FOR013"}) {
    std::string text = crlf.read(file);
    std::string plain;
    for (char ch : text) {
      if (ch != '\r') plain += ch;
    }
    lf.write(file, plain);
  }
  std::string a = report_page(read_model(crlf.path())), b = report_page(read_model(lf.path()));
  for (std::string* page : {&a, &b}) {
    // The page names the folder by its own name.
    const std::string folder = std::filesystem::path(page == &a ? crlf.path() : lf.path()).filename().string();
    for (std::size_t at; (at = page->find(folder)) != std::string::npos;) page->replace(at, folder.size(), "DIR");
  }
  EXPECT_EQ(a, b);
}

// Each map says where its array is: the line of its array-control record.
// In the example's FOR001 the first boundary array follows the titles, the
// dimensions, the module table and the options (line 6).
TEST(Report, EachMapNamesTheLineOfItsArray) {
  Scratch dir;
  build_model(dir, example("morvek.txt"), example("cindral.txt"), example("quillet.txt"));
  ASSERT_EQ(run_report(dir).status, 0);
  const std::string page = read_file(dir.file("report.html"));
  EXPECT_NE(page.find("<span class=\"source\">IBOUND- in FOR001, line 6</span>"), std::string::npos);
}

// The stress period table lists the first thousand periods and says how many
// more the model has; a model of exactly a thousand lists them all.
TEST(Report, LongTablesShowTheirFirstThousandRowsAndSaySo) {
  const std::string thin = "\xE2\x80\xAF";
  for (const int periods : {1000, 1001}) {
    std::string answers = "Many periods\none cell\n1\n1\n1\n" + std::to_string(periods) + "\n4\n";
    for (int module = 0; module < 11; ++module) answers += "0\n";
    answers += "1\n1\n0\n1\n999\n0\n100\n";
    for (int p = 0; p < periods; ++p) answers += "1\n1\n1\n";
    Scratch dir;
    build_model(dir, answers, "", "");
    ASSERT_EQ(run_report(dir).status, 0);
    const std::string page = read_file(dir.file("report.html"));
    EXPECT_NE(page.find("<tr><td>1000</td>"), std::string::npos) << periods;
    EXPECT_EQ(page.find("<tr><td>1001</td>"), std::string::npos) << periods;
    const std::string note = "The table shows the first 1" + thin + "000 of 1" + thin + "001 stress periods.";
    EXPECT_EQ(page.find(note) != std::string::npos, periods == 1001) << periods;
  }
}

// A side of more than twenty cells is labelled at 1 and at the multiples of
// the round step (1, 2 or 5 times a power of ten) that gives about ten
// labels: fifty columns give a step of 5.
TEST(Report, AMapsColumnsAreLabelledAtARoundStep) {
  std::string answers = "Ticks\nfifty columns\n1\n1\n50\n0\n4\n";
  for (int i = 0; i < 11; ++i) answers += "0\n";
  answers += "0\n0\n1\n";
  for (int c = 1; c <= 50; ++c) answers += (c % 2 ? "1\n" : "-1\n");
  answers += "999\n1\n";
  for (int c = 1; c <= 50; ++c) answers += std::to_string(c) + "\n";
  Scratch dir;
  build_model(dir, answers, "", "");
  ASSERT_EQ(run_report(dir).status, 0);
  const std::string page = read_file(dir.file("report.html"));
  const std::string start = "<div class=\"ticks columns\" aria-hidden=\"true\">";
  std::vector<std::string> labels;  // each map's column labels, one string
  for (std::size_t at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
    const std::size_t end = page.find("</div>", at);
    std::string text;
    for (std::size_t s = page.find("\">", at + start.size()); s < end; s = page.find("\">", s + 1)) {
      text += page.substr(s + 2, page.find("</span>", s) - s - 2) + " ";
    }
    labels.push_back(text);
  }
  const std::string expected = "1 5 10 15 20 25 30 35 40 45 50 ";
  EXPECT_EQ(labels, (std::vector<std::string>{expected, expected}));  // the boundary and the starting heads
}

TEST(Report, MapsAreDrawnInFileOrderWhileThePageHasRoom) {
  // Twelve layers of 60 by 80 typed cells: boundary values -1, 0, 1 and
  // starting heads that vary, so that each picture takes some room.
  const int layers = 12, rows = 60, columns = 80;
  std::string answers = "Room for maps\nvaried cells\n" + std::to_string(layers) + "\n" + std::to_string(rows) + "\n" +
                        std::to_string(columns) + "\n0\n4\n";
  for (int i = 0; i < 11; ++i) answers += "0\n";
  answers += "0\n0\n";
  std::uint32_t state = 7;
  auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int k = 0; k < layers; ++k) {
    answers += "1\n";
    for (int i = 0; i < rows * columns; ++i) answers += std::to_string(static_cast<int>(next() % 3) - 1) + "\n";
  }
  answers += "999\n";
  for (int k = 0; k < layers; ++k) {
    answers += "1\n";
    for (int i = 0; i < rows * columns; ++i) answers += std::to_string(next() % 1000) + "\n";
  }
  Scratch dir;
  build_model(dir, answers, "", "");
  constexpr std::size_t kPictures = 400'000, kHover = 100'000;
  const ModelFacts model = read_model(dir.path(), PageBudget(kPictures, kHover));
  ASSERT_GT(model.maps_left_out, 0);
  EXPECT_EQ(static_cast<std::int64_t>(model.maps.size()) + model.maps_left_out, 2 * layers);
  // FOR001 holds every boundary array before the starting heads: those
  // drawn are every boundary, then the starting heads of the first layers.
  std::size_t pictures = 0, hover = 0;
  std::vector<std::int64_t> boundaries, heads;
  for (const MapPicture& map : model.maps) {
    pictures += map.png_base64.size() + PageBudget::kFigureHtml;
    hover += map.blocks_base64.size();
    (map.label == "IBOUND-" ? boundaries : heads).push_back(map.layer);
  }
  EXPECT_EQ(boundaries.size(), static_cast<std::size_t>(layers));
  for (std::size_t i = 0; i < heads.size(); ++i) EXPECT_EQ(heads[i], static_cast<std::int64_t>(i) + 1);
  EXPECT_LE(pictures, kPictures);
  EXPECT_LE(hover, kHover);
  // The tooltips' room, the smaller, still holds the values of the first map.
  EXPECT_FALSE(model.maps.front().blocks_base64.empty());
  const std::string page = report_page(model);
  EXPECT_LT(page.size(), kPictures + kHover + 60'000);
  EXPECT_NE(page.find(std::to_string(model.maps_left_out) +
                      " more arrays are not drawn: the maps are drawn in file order until the page reaches its size limit"),
            std::string::npos);
}

}  // namespace
}  // namespace report
