// sharpen IN... -o DIR: every file is one run of the tool itself, in its own process, so
// that runs share nothing and one that fails (or crashes) leaves the others alone. Up to
// --jobs of them run at once; each one's own lines are passed on whole when it ends.
#ifndef _WIN32
#include "hostapp/batch_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <ostream>
#include <thread>

#include "imagefiles/file_bytes.h"
#include "imagefiles/image_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct FileRun {
  std::string input;
  std::string output;
  int code = 0;
  std::string said;  // the run's stderr
};

// One run of `program` with `args`; its stderr is collected, its stdout dropped.
void runOne(const std::string& program, const std::vector<std::string>& args, FileRun* run) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
    run->code = 1;
    run->said = "inkjet: " + run->input + ": cannot start a run\n";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    run->code = 1;
    run->said = "inkjet: " + run->input + ": cannot start a run\n";
    return;
  }
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(pipeEnds[0], buffer, sizeof(buffer))) != 0) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    run->said.append(buffer, size_t(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  run->code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  if (!WIFEXITED(status)) run->said += "inkjet: " + run->input + ": the run ended abnormally\n";
}

std::string outputName(const CliRequest& request, const std::string& input) {
  fs::path path(input);
  std::string extension = request.format.empty() ? path.extension().string() : "." + request.format;
  return (fs::path(request.outputDir) / (path.stem().string() + request.suffix + extension))
      .string();
}

}  // namespace

int runBatchCommand(const CliRequest& request, const std::string& program, bool terminal,
                    std::ostream& err) {
  std::error_code error;
  if (!fs::is_directory(request.outputDir, error)) {
    err << "inkjet: " << request.outputDir << " is not a folder\n";
    return 2;
  }
  std::vector<FileRun> runs(request.inputs.size());
  std::map<std::string, std::string> taken;  // output, as the system resolves it -> input
  for (size_t index = 0; index < runs.size(); ++index) {
    runs[index].input = request.inputs[index];
    runs[index].output = outputName(request, request.inputs[index]);
    // What every run would refuse on its own is refused for all of them, before any work.
    std::string format, problem;
    const FileStatus known = outputFormatName(runs[index].output, &format);
    if (!known.ok() || !checkOutputOptions(request, runs[index].output, &problem)) {
      err << "inkjet: " << (known.ok() ? problem : known.message) << "; nothing was written\n";
      return 2;
    }
    std::string key = fs::weakly_canonical(runs[index].output, error).string();
    if (key.empty()) key = runs[index].output;
    auto [at, fresh] = taken.emplace(key, runs[index].input);
    if (!fresh) {
      err << "inkjet: " << runs[index].input << " and " << at->second
          << " would both be written to " << runs[index].output << "; nothing was written\n";
      return 2;
    }
  }
  for (const FileRun& run : runs) {
    for (const std::string& input : request.inputs) {
      if (sameFile(run.output, input) || fs::weakly_canonical(input, error).string() ==
                                             fs::weakly_canonical(run.output, error).string()) {
        err << "inkjet: " << run.output << " is the input file " << input
            << ", which is never changed; nothing was written\n";
        return 2;
      }
    }
  }
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  int jobs = request.jobs > 0 ? request.jobs : cores;
  jobs = std::min<int>(jobs, int(runs.size()));
  // The runs share the cores: without --threads each one splits its tiles across its share.
  std::vector<std::string> runWords = request.settingWords;
  if (request.threads == 0) {
    runWords.insert(runWords.end(), {"--threads", std::to_string(std::max(1, cores / jobs))});
  }
  std::atomic<size_t> next{0};
  std::mutex saying;
  size_t done = 0;
  auto work = [&] {
    for (size_t index = next++; index < runs.size(); index = next++) {
      std::vector<std::string> args = {"sharpen", runs[index].input, runs[index].output};
      args.insert(args.end(), runWords.begin(), runWords.end());
      runOne(program, args, &runs[index]);
      std::lock_guard<std::mutex> lock(saying);
      ++done;
      if (terminal) err << "\r\033[K";
      err << runs[index].said;
      if (terminal) err << "inkjet: " << done << " of " << runs.size() << " done" << std::flush;
    }
  };
  std::vector<std::thread> workers;
  for (int worker = 0; worker < jobs; ++worker) workers.emplace_back(work);
  for (std::thread& worker : workers) worker.join();
  if (terminal) err << "\r\033[K";
  int code = 0;
  std::string failed;
  size_t failures = 0;
  for (const FileRun& run : runs) {
    if (run.code == 0) continue;
    code = std::max(code, run.code);
    failed += (failures++ == 0 ? "" : ", ") + run.input;
  }
  if (failures > 0 || !request.silent) {
    err << "inkjet: " << runs.size() - failures << " of " << runs.size() << " written to "
        << request.outputDir << (failures > 0 ? "; failed: " + failed : "") << "\n";
  }
  return code;
}
#endif
