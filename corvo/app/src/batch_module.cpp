// Loading the batch module (see batch_command.hpp) from the folder of the
// running program.
#include <dlfcn.h>

#include <filesystem>

#include "corvo/app/batch_command.hpp"

namespace corvo::app {

int load_and_run_batch(const BatchArgs& args, std::ostream& out, std::ostream& err, bool progress) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  const fs::path module = (ec ? fs::path(".") : program.parent_path()) / CORVO_BATCH_MODULE;
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    err << "corvo batch: cannot load " << module.string() << ": " << (why ? why : "unknown reason") << '\n';
    return 2;
  }
  using Entry = int (*)(const BatchArgs*, std::ostream*, std::ostream*, int);
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, "corvo_run_batch"));
  if (entry == nullptr) {
    err << "corvo batch: " << module.string() << " has no entry point corvo_run_batch\n";
    return 2;
  }
  // The module stays loaded until the process ends: its threads and
  // MPI's own handlers may outlive this call.
  return entry(&args, &out, &err, progress ? 1 : 0);
}

}  // namespace corvo::app
