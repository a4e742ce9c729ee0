// The files of a model folder that the report reads or looks for, so that
// its page is never written over one of them.
#pragma once

#include <string>
#include <vector>

#include "report/model_facts.h"

namespace report {

// FOR001; FOR011 to FOR034, the files of the unit table's slots (among them
// FOR011 and FOR013, which are read); and the file of every unit that the
// table names, which the check looks for. Each as `folder/FORnnn`.
std::vector<std::string> model_file_paths(const ModelFacts& model);

}  // namespace report
