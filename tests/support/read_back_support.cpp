#include "tests/support/read_back_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace testing_support {

GwinspectResult run_gwinspect(const std::vector<std::string>& arguments, const Scratch& dir,
                              const std::function<void()>& in_child) {
  const std::string out_path = dir.file(".gwinspect.out");
  const std::string err_path = dir.file(".gwinspect.err");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    std::string program = GWINSPECT_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies(arguments);
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::signal(SIGPIPE, SIG_DFL);
    if (in_child) in_child();
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  GwinspectResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = dir.read(".gwinspect.out");
  result.err = dir.read(".gwinspect.err");
  return result;
}

std::vector<Builder> read_back_builders() {
  return {{"Morvek", MORVEK_PATH, "FOR001"}, {"Cindral", CINDRAL_PATH, "FOR011"},
          {"Quillet", QUILLET_PATH, "FOR013"}};
}

std::string example(const std::string& name) { return read_file(std::string(EXAMPLES_DIR) + "/" + name); }

const Builder& builder(std::string_view name) {
  static const std::vector<Builder> builders = read_back_builders();
  for (const Builder& b : builders) {
    if (b.name == name) return b;
  }
  throw std::invalid_argument("no builder " + std::string(name));
}

RoundTrip round_trip(const Builder& builder, std::string_view session, std::string_view beside) {
  RoundTrip trip;
  Scratch first, second;
  if (!beside.empty()) first.write("FOR001", beside);
  trip.built = run_redirected(builder.path, first, session);
  if (!first.exists(builder.output_file)) return trip;
  trip.file = first.read(builder.output_file);
  trip.answers = run_gwinspect({"answers", builder.output_file}, first);
  trip.rebuilt = run_redirected(builder.path, second, trip.answers.out);
  if (second.exists(builder.output_file)) trip.rebuilt_file = second.read(builder.output_file);
  return trip;
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace testing_support
