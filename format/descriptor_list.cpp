#include "format/descriptor_list.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace format {
namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  // The next character that is not a blank, or 0 at the end of the text.
  char peek() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  char take() {
    char c = peek();
    if (c != '\0') ++pos_;
    return c;
  }
  bool digit_next() { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  int number() {
    if (!digit_next()) fail("expected a number");
    long value = 0;
    while (digit_next()) {
      value = value * 10 + (take() - '0');
      if (value > 1000) fail("number too large");
    }
    return static_cast<int>(value);
  }

  [[noreturn]] void fail(const char* what) const {
    throw std::invalid_argument("descriptor list \"" + std::string(text_) + "\": " + what);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

DescriptorList::DescriptorList(std::string_view text) {
  Cursor cursor(text);
  if (cursor.take() != '(') cursor.fail("must begin with '('");
  if (cursor.peek() == ')') {
    cursor.take();
    return;
  }
  for (;;) {
    int repeat = cursor.digit_next() ? cursor.number() : 1;
    if (repeat < 1) cursor.fail("repeat count must be at least 1");
    Descriptor d{};
    switch (std::toupper(static_cast<unsigned char>(cursor.take()))) {
      case 'I': d.kind = Descriptor::Kind::Integer; break;
      case 'G': d.kind = Descriptor::Kind::Real; break;
      case 'A': d.kind = Descriptor::Kind::Text; break;
      default: cursor.fail("unsupported descriptor");
    }
    d.width = cursor.number();
    if (d.width < 1) cursor.fail("width must be at least 1");
    if (d.kind == Descriptor::Kind::Real) {
      if (cursor.take() != '.') cursor.fail("G needs .d");
      d.digits = cursor.number();
      if (d.digits < 1) cursor.fail("G needs at least one digit");
    }
    descriptors_.insert(descriptors_.end(), static_cast<std::size_t>(repeat), d);
    for (int i = 0; i < repeat; ++i) {
      columns_before_.push_back(columns_before_.back() + static_cast<std::size_t>(d.width));
    }
    char sep = cursor.take();
    if (sep == ')') return;
    if (sep != ',') cursor.fail("expected ',' or ')'");
  }
}

}  // namespace format
