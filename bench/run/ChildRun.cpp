// SPDX-License-Identifier: MIT
#include "ChildRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace varnow::bench {

namespace fs = std::filesystem;

ChildResult RunChild(const std::vector<std::string>& argv, bool keepOutput, const fs::path& input) {
  const fs::path capture = fs::temp_directory_path() / ("bench_run." + std::to_string(::getpid()));
  // The writes of the run before are put on disk first, so that no run pays for another's.
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    const int out = keepOutput ? ::open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)
                               : ::open("/dev/null", O_WRONLY);
    const int null = ::open("/dev/null", O_WRONLY);
    if (!input.empty()) {
      const int in = ::open(input.c_str(), O_RDONLY);
      ::dup2(in, STDIN_FILENO);
    }
    ::dup2(out, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) {
      args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    std::_Exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  ChildResult result;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.peakKiB = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(argv[0] + " failed on " + argv.back());
  }
  if (keepOutput) {
    std::ifstream in(capture);
    std::getline(in, result.out);
    fs::remove(capture);
  }
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void WriteSettings(const fs::path& file, const fs::path& outputFolder) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << "[Main]\r\nStorePatch=" << outputFolder.string() << "\r\n";
  for (const char* key :
       {"RmScript", "RmNoscript", "RmIframe", "RmonMouseOver", "RmSpan", "RmStyle", "RmMSWord",
        "RmTable", "RmBody", "RmBanner", "RmFont", "RmBlank"}) {
    out << key << "=-1\r\n";
  }
  out << "[Banner0]\r\nFirst=<!-- ad -->\r\nLast=<!-- /ad -->\r\n";
}

}  // namespace varnow::bench
