// The page stays under 20 MB whatever the model. Its text is bounded by
// the caps on the tables; the maps share what is left, in file order: a
// map is drawn while its picture fits, and carries the values that its
// tooltips show while they fit too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace report {

class PageBudget {
 public:
  static constexpr std::size_t kPageLimit = 20'000'000;
  static constexpr std::size_t kPictureBytes = 11'000'000;  // pictures and their figures' HTML
  static constexpr std::size_t kHoverBytes = 4'000'000;     // the blocks behind the tooltips
  static constexpr std::size_t kFigureHtml = 6'000;         // a figure's HTML beside its picture
  // Caps on what the tables and the page's data list.
  static constexpr std::int64_t kMostTableRows = 1'000;
  static constexpr std::int64_t kMostFindings = 1'000;
  static constexpr std::int64_t kMostDrains = 50'000;
  static constexpr std::int64_t kMostDrainPeriods = 10'000;

  PageBudget() = default;
  // Smaller rooms, for tests of what happens when they fill up.
  PageBudget(std::size_t picture_bytes, std::size_t hover_bytes)
      : picture_limit_(picture_bytes), hover_limit_(hover_bytes) {}

  // Takes room for a picture of `bytes` (base64) and its figure; false when
  // it does not fit, and from then on for every later picture too, so that
  // the maps drawn are those of the first layers.
  bool take_picture(std::size_t bytes) {
    if (pictures_full_ || pictures_ + bytes + kFigureHtml > picture_limit_) {
      pictures_full_ = true;
      return false;
    }
    pictures_ += bytes + kFigureHtml;
    return true;
  }
  bool pictures_full() const { return pictures_full_; }

  bool take_hover(std::size_t bytes) {
    if (hover_ + bytes > hover_limit_) return false;
    hover_ += bytes;
    return true;
  }

 private:
  std::size_t picture_limit_ = kPictureBytes;
  std::size_t hover_limit_ = kHoverBytes;
  std::size_t pictures_ = 0;
  std::size_t hover_ = 0;
  bool pictures_full_ = false;
};

}  // namespace report
