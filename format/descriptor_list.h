// A descriptor list such as "(3i10,2g10.3)": the column layout of a record.
// Parsed once into its data descriptors with repeat counts written out, so
// rendering never looks at the text again.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace format {

struct Descriptor {
  enum class Kind : std::uint8_t { Integer, Real, Text };  // I, G, A
  Kind kind;
  int width;
  int digits;  // significant digits of G; 0 for I and A
};

class DescriptorList {
 public:
  // Parses the list up to its closing parenthesis; anything after it is
  // ignored. Letters may be in either case and blanks are ignored. Throws
  // std::invalid_argument for a list the programs never use (bad syntax,
  // other descriptors, inner parentheses): lists are literals in the code, so
  // this is a programming error, caught by the tests.
  explicit DescriptorList(std::string_view text);

  const std::vector<Descriptor>& descriptors() const { return descriptors_; }
  std::size_t size() const { return descriptors_.size(); }
  const Descriptor& operator[](std::size_t i) const { return descriptors_[i]; }

  // Columns taken by the first `count` descriptors: the width of a record
  // holding `count` fields.
  std::size_t columns_of_first(std::size_t count) const { return columns_before_[count]; }

 private:
  std::vector<Descriptor> descriptors_;
  std::vector<std::size_t> columns_before_{0};
};

}  // namespace format
