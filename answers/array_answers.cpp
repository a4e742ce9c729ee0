#include "answers/array_answers.h"

#include "format/basic_file.h"
#include "format/flow_file.h"

namespace answers {

std::string_view array_subject(std::string_view label) {
  struct Subject {
    const format::ArrayEntry& array;
    std::string_view subject;
  };
  static constexpr Subject kSubjects[] = {
      {format::kBoundaryArray, "boundary"},
      {format::kStartingHeadArray, "starting head"},
      {format::kPrimaryStorageArray, "primary storage"},
      {format::kTransmissivityArray, "transmissivity"},
      {format::kConductivityArray, "hydraulic conductivity"},
      {format::kBottomArray, "bottom elevation"},
      {format::kVerticalConductanceArray, "vertical conductance"},
      {format::kSecondaryStorageArray, "secondary storage"},
      {format::kTopArray, "top elevation"},
  };
  for (const Subject& s : kSubjects) {
    if (s.array.label == label) return s.subject;
  }
  return label;
}

}  // namespace answers
