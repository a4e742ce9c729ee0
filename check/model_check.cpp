#include "check/model_check.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "check/file_checks.h"
#include "format/basic_file.h"
#include "inspect/input_file.h"
#include "platform/platform.h"
#include "inspect/read_error.h"

namespace check {
namespace {

// The builder that writes a module's file; none for a file made by other
// means.
std::string_view builder_of(std::size_t slot) {
  if (slot == format::kFlowSlot) return "Cindral";
  if (slot == format::kDrainSlot) return "Quillet";
  return "";
}

// A module's name in the check's sentences.
std::string name_of(std::size_t slot) { return std::string(format::module_in_slot(slot)->short_name); }

// "FOR013": the file of unit `unit`.
std::string file_of_unit(std::int32_t unit) {
  char name[16];
  std::snprintf(name, sizeof name, "FOR%03d", static_cast<int>(unit));
  return name;
}

bool file_exists(const std::string& path) { return platform::exists(path); }

// What is at `path` instead of a regular file, in a few words.
std::string not_a_file(const std::string& path) {
  int error = 0;
  const platform::FileKind kind = platform::kind_at(path, error);
  if (error != 0) return std::strerror(error);
  return kind == platform::FileKind::Directory ? "a directory" : "a device, pipe or socket";
}

// One file of the folder, opened: or the diagnostic that it cannot be.
std::unique_ptr<inspect::InputFile> open_file(const std::string& folder, const std::string& name,
                                              Findings& findings, bool& completed) {
  try {
    return std::make_unique<inspect::InputFile>(folder + "/" + name);
  } catch (const inspect::ReadError& e) {
    findings.add(rules::kUnreadableFile, {name, 0, 0},
                 std::string("the file cannot be checked: ") + e.what());
    completed = false;
  }
  return nullptr;
}

// The module unit table against the folder: each selected module's file is
// here, each unit is the one Morvek writes for its slot.
void check_module_files(const std::string& folder, const BasicModel& basic, Findings& findings) {
  for (std::size_t slot = 1; slot <= basic.module_units.size(); ++slot) {
    const std::int32_t unit = basic.module_units[slot - 1];
    if (unit == 0) continue;
    const Place where{"FOR001", basic.modules_line, static_cast<std::int64_t>(3 * (slot - 1) + 1)};
    const format::Module* module = format::module_in_slot(slot);
    const std::string module_name = module ? std::string(module->short_name) : "slot " + std::to_string(slot);
    if (module == nullptr || unit != format::module_unit(slot)) {
      findings.add(rules::kModuleUnit, where,
                   "slot " + std::to_string(slot) + " of the module table holds unit " + std::to_string(unit) +
                       (module ? "; Morvek writes " + std::to_string(format::module_unit(slot)) + " there for " + module_name
                               : "; Morvek selects no module in that slot"));
    }
    if (unit < 1 || unit > 999) continue;  // no file name of the FORnnn form
    const std::string file = file_of_unit(unit);
    const std::string path = folder + "/" + file;
    if (platform::is_regular_file(path)) continue;
    const bool something_there = file_exists(path);
    // FOR011 and FOR013 are opened below, which tells what is wrong with them.
    if (something_there && (file == "FOR011" || file == "FOR013")) continue;
    std::string message = module_name + " is selected (unit " + std::to_string(unit) + "), but ";
    message += something_there ? file + " here is not a file (" + not_a_file(path) + ")" : "there is no " + file;
    if (module != nullptr && !builder_of(slot).empty() && unit == format::module_unit(slot)) {
      message += ": " + std::string(builder_of(slot)) + " writes it";
    } else {
      message += ": these builders do not write it, so it must be made by other means";
    }
    findings.add(rules::kModuleFileMissing, where, message, {}, Place{file, 0, 0});
  }
}

// The solvers: the simulator needs exactly one. A slot counts as selected
// when it holds any unit but 0, since the simulator then reads that unit; a
// slot it cannot read at all is already an error of its own.
void check_solver(const BasicModel& basic, Findings& findings) {
  constexpr std::size_t kStronglyImplicit = format::kStronglyImplicitSlot, kSsor = format::kSsorSlot;
  for (const std::size_t slot : {kStronglyImplicit, kSsor}) {
    if (basic.module_unit_unknown[slot - 1]) return;
  }
  const auto unit_of = [&](std::size_t slot) { return basic.module_units[slot - 1]; };
  const auto place_of_slot = [&](std::size_t slot) {
    return Place{"FOR001", basic.modules_line, static_cast<std::int64_t>(3 * (slot - 1) + 1)};
  };
  const bool strongly_implicit = unit_of(kStronglyImplicit) != 0, ssor = unit_of(kSsor) != 0;
  if (!strongly_implicit && !ssor) {
    findings.add(rules::kNoSolver, place_of_slot(kStronglyImplicit),
                 "no solver is selected: the simulator needs one, " + name_of(kStronglyImplicit) + " (unit " +
                     std::to_string(format::module_unit(kStronglyImplicit)) + ") or " + name_of(kSsor) +
                     " (unit " + std::to_string(format::module_unit(kSsor)) + ")");
  } else if (strongly_implicit && ssor) {
    findings.add(rules::kTwoSolvers, place_of_slot(kSsor),
                 "two solvers are selected: " + name_of(kStronglyImplicit) + " (unit " +
                     std::to_string(unit_of(kStronglyImplicit)) + ") and " + name_of(kSsor) + " (unit " +
                     std::to_string(unit_of(kSsor)) + "); the simulator needs only one");
  }
}

// A file the builders write, here although its module is not selected.
void check_unselected(const BasicModel& basic, std::size_t slot, std::string_view file, Findings& findings) {
  if (!basic.modules_read || basic.module_units[slot - 1] != 0) return;
  findings.add(rules::kModuleNotSelected,
               {"FOR001", basic.modules_line, static_cast<std::int64_t>(3 * (slot - 1) + 1)},
               std::string(file) + " is here, but " + name_of(slot) +
                   " is not selected in the module table, so the simulator does not read it",
               {}, Place{std::string(file), 0, 0});
}

}  // namespace

CheckResult check_model(const std::string& folder, const CheckOptions& options) {
  const inspect::Reading reading = options.plain ? inspect::Reading::Plain : inspect::Reading::Quick;
  Findings findings;
  bool completed = true;
  if (!file_exists(folder + "/FOR001")) {
    findings.add(rules::kNoBasicFile, {"FOR001", 0, 0},
                 "there is no FOR001 in this folder; the check starts from it");
    return findings.finish(false);
  }
  const auto basic_file = open_file(folder, "FOR001", findings, completed);
  if (!basic_file) return findings.finish(false);
  const BasicModel basic = check_basic_file(basic_file->fd(), reading, findings);
  if (basic.modules_read) {
    check_module_files(folder, basic, findings);
    check_solver(basic, findings);
  }

  FlowModel flow;
  std::unique_ptr<inspect::InputFile> flow_file;
  if (file_exists(folder + "/FOR011")) {
    check_unselected(basic, format::kFlowSlot, "FOR011", findings);
    flow_file = open_file(folder, "FOR011", findings, completed);
    if (flow_file) flow = check_flow_file(flow_file->fd(), basic, basic_file->fd(), reading, findings);
  }
  if (file_exists(folder + "/FOR013")) {
    check_unselected(basic, format::kDrainSlot, "FOR013", findings);
    const auto drain_file = open_file(folder, "FOR013", findings, completed);
    if (drain_file) {
      check_drain_file(drain_file->fd(), basic, basic_file->fd(), flow, flow_file ? flow_file->fd() : -1,
                       reading, findings);
    }
  }
  return findings.finish(completed);
}

}  // namespace check
