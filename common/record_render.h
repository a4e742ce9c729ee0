// Rendering one formatted write: items matched in order with the data
// descriptors of a list, the list used again from its start while items
// remain. Each finished record (without its line end) goes to a sink.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "descriptor_list.h"
#include "field_render.h"

namespace builders {

// One value of a formatted write. The programs pair integers with I, reals
// with G and texts with A; any other pairing renders asterisks.
struct Item {
  enum class Kind : std::uint8_t { Integer, Real, Text };
  Kind kind;
  std::int32_t integer = 0;
  float real = 0.0f;
  std::string_view text;

  Item(std::int32_t v) : kind(Kind::Integer), integer(v) {}
  Item(float v) : kind(Kind::Real), real(v) {}
  Item(std::string_view v) : kind(Kind::Text), text(v) {}
  Item(const char* v) : kind(Kind::Text), text(v) {}
};

void append_field(std::string& out, const Item& item, const Descriptor& d);
void append_field(std::string& out, std::int32_t value, const Descriptor& d);
void append_field(std::string& out, float value, const Descriptor& d);

// Renders `values` (a span of Item, int32_t or float) through `list`. A write
// without values is one empty record. `sink(std::string_view)` receives each
// record; `scratch` is reused between calls to avoid allocations.
template <typename Value, typename Sink>
void render_records(const DescriptorList& list, std::span<const Value> values, Sink&& sink,
                    std::string& scratch) {
  scratch.clear();
  if (!values.empty() && list.size() == 0) {
    throw std::invalid_argument("descriptor list without data descriptors");
  }
  std::size_t next = 0;
  for (const Value& value : values) {
    if (next == list.size()) {
      sink(std::string_view(scratch));
      scratch.clear();
      next = 0;
    }
    append_field(scratch, value, list[next++]);
  }
  sink(std::string_view(scratch));
}

}  // namespace builders
