// The table of error numbers is written twice, for readers of the user guide
// and of the manual pages; both must say the same, word for word, and name
// exactly the numbers the programs report (format/error_codes.h).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::string number;     // F6100
  std::string operation;  // READ(CON)
  std::string text;       // as a sentence, in plain text
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << entry.number << ' ' << entry.operation << ": " << entry.text;
}

std::string read_source(const std::string& path) {
  std::ifstream in(std::string(SOURCE_DIR) + "/" + path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The plain words of an entry: markup gone (`code` of Markdown and "code" of
// scdoc both read as quotes, scdoc's \* as *), blanks and line breaks as one
// blank, and written as a sentence: a capital first, a full stop last.
std::string plain(std::string text) {
  text = std::regex_replace(text, std::regex("`([^`]*)`"), "\"$1\"");
  text = std::regex_replace(text, std::regex(R"(\\\*)"), "*");
  text = std::regex_replace(text, std::regex(R"(\s+)"), " ");
  text = std::regex_replace(text, std::regex(R"(^ | $)"), "");
  if (!text.empty() && text.back() != '.') text += '.';
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

// The entries of one source, one a match of `pattern`: the number, the
// statement and the text, the text in plain words.
std::vector<Entry> entries_of(const char* source, const std::regex& pattern) {
  const std::string text = read_source(source);
  std::vector<Entry> entries;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
    entries.push_back({(*it)[1], (*it)[2], plain((*it)[3])});
  }
  return entries;
}

// Rows of the user guide's table: | F6100 | READ(CON) | when it happens |
std::vector<Entry> guide_entries() {
  return entries_of("docs/user-guide.md", std::regex(R"(\n\| (F\d{4}) \| ([A-Z]+\(\w+\)) \| ([^\n]*) \|(?=\n))"));
}

// Items of the manual pages' section: *F6100* READ(CON), then indented lines.
std::vector<Entry> manual_entries() {
  return entries_of("man/shared/errors.scd", std::regex(R"(\n\*(F\d{4})\* ([A-Z]+\(\w+\))\n((?:\t[^\n]*\n?)+))"));
}

std::set<std::string> code_numbers() {
  const std::string text = read_source("format/error_codes.h");
  const std::regex constant(R"(constexpr int k\w+ = (\d{4});)");
  std::set<std::string> numbers;
  for (std::sregex_iterator it(text.begin(), text.end(), constant), end; it != end; ++it) {
    std::string number = "F";
    number += (*it)[1].str();
    numbers.insert(number);
  }
  return numbers;
}

TEST(ErrorTable, GuideAndManualPagesSayTheSame) {
  const std::vector<Entry> guide = guide_entries();
  const std::vector<Entry> manual = manual_entries();
  ASSERT_GE(guide.size(), 18u) << "the user guide's table was not found";
  EXPECT_EQ(guide, manual);
}

TEST(ErrorTable, NamesEveryNumberOfTheCodeAndNoOther) {
  std::set<std::string> documented;
  for (const Entry& entry : guide_entries()) documented.insert(entry.number);
  const std::set<std::string> code = code_numbers();
  ASSERT_GE(code.size(), 17u) << "format/error_codes.h was not read";
  EXPECT_EQ(documented, code);
}

TEST(ErrorTable, PlainWordsIgnoreOnlyMarkup) {
  const struct {
    std::string markdown, scdoc;
    bool same;
  } cases[] = {
      {"a repeat count of 0 (`0*7`)", "A repeat count of 0 (\"0\\*7\").", true},
      {"a line\n  over two", "\tA line\n\tover two.", true},
      {"larger than 3.402823466385289E+38", "Larger than 3.4028235E+38.", false},
      {"a real answer", "Real answer.", false},
  };
  for (const auto& c : cases) EXPECT_EQ(plain(c.markdown) == plain(c.scdoc), c.same) << c.markdown;
}

}  // namespace
