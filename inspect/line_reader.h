// A file read as lines, in large blocks, for reading it back record by
// record. Lines end in LF or CR LF (a file that went through an editor or a
// version-control checkout reads like the original); the last line may lack
// its line end. Several readers may read the same file at once, each at its
// own place, and a reader can go back to a place it passed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace inspect {

struct Line {
  std::string_view text;     // without its line end; valid until the next read
  std::int64_t number = 0;   // counted from 1
  std::int64_t offset = 0;   // of its first byte in the file
  bool has_line_end = true;  // false only for a last line cut off without one
};

// A place in the file: the start of a line.
struct LinePlace {
  std::int64_t offset = 0;
  std::int64_t number = 1;  // of the line that starts there
};

class LineReader {
 public:
  // No record is longer than 100 columns; a longer line is no record of
  // these files (a binary file, say) and is refused rather than held.
  static constexpr std::size_t kLongestLine = 4096;

  // Reads the open file `fd` (not owned, not closed here; read at offsets,
  // so readers sharing it do not disturb one another).
  explicit LineReader(int fd);

  // The next line, or false at the end of the file. Throws ReadError for a
  // line longer than kLongestLine or a file that cannot be read.
  bool next(Line& line);

  // Where the next line starts, and going back (or ahead) to such a place.
  LinePlace place() const { return {offset_, number_}; }
  void go_to(const LinePlace& place);

  // If the bytes from the current place on are exactly `expected`, which
  // holds `lines` whole lines (each ending in CR LF), moves past them and
  // returns true; otherwise the place is unchanged. The quick way past rows
  // whose bytes are known in advance.
  bool skip_if_equal(std::string_view expected, std::int64_t lines);

 private:
  // Makes at least `count` bytes from offset_ available in the buffer, or as
  // many as the file still has; returns how many are available.
  std::size_t fill(std::size_t count);

  int fd_;
  std::vector<char> buffer_;
  std::int64_t buffer_offset_ = 0;  // file offset of buffer_[0]
  std::size_t buffer_size_ = 0;     // valid bytes in buffer_
  std::int64_t offset_ = 0;         // of the next line
  std::int64_t number_ = 1;         // of the next line
  bool at_end_ = false;             // the file has no bytes past the buffer
};

}  // namespace inspect
