// The DIR argument of check and report: the folder that holds a model's
// files, not one of the files.
#pragma once

#include <string>

namespace gwinspect {

// Empty when `folder` is a folder that can be looked into; otherwise what is
// wrong with it, in words for the user ("some/FOR001 is not a folder: name
// the folder of the model, such as some", "nowhere: No such file or
// directory").
std::string folder_problem(const std::string& folder);

}  // namespace gwinspect
