// The fuzz targets that run a builder as a child share this start: a
// sanitizer finding in the child must show as a signal, not as the status 1
// that a run-time error report also gives. The children inherit the options.
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
    std::string options = std::getenv(name) ? std::getenv(name) : "";
    options += options.empty() ? "abort_on_error=1" : ":abort_on_error=1";
    setenv(name, options.c_str(), 1);
  }
  return 0;
}
