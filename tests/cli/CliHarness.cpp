// SPDX-License-Identifier: MIT
#include "cli/CliHarness.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace varnow::cli_test {

Outcome RunProgram(const fs::path& program, const std::vector<std::string>& args,
                   const std::function<void(const std::string&, pid_t)>& onOutput,
                   bool closedStdout, const std::vector<std::string>& env,
                   const std::string* input) {
  int outPipe[2];
  int errPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
    ADD_FAILURE() << "pipe";
    return {};
  }
  std::vector<std::string> argv0 = {program.string()};
  argv0.insert(argv0.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv0) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  // What the child reads, from a file of its own: a pipe would fill while nobody reads it.
  std::FILE* stdinFile = input != nullptr ? std::tmpfile() : nullptr;
  if (stdinFile != nullptr) {
    std::fwrite(input->data(), 1, input->size(), stdinFile);
    std::fflush(stdinFile);
    std::rewind(stdinFile);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (stdinFile != nullptr) {
      ::dup2(::fileno(stdinFile), 0);
    }
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    ::unsetenv("LC_ALL");
    ::unsetenv("LANGUAGE");
    ::setenv("LC_MESSAGES", "ru_RU.UTF-8", 1);
    for (const std::string& setting : env) {
      const std::size_t eq = setting.find('=');
      ::setenv(setting.substr(0, eq).c_str(), setting.substr(eq + 1).c_str(), 1);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (stdinFile != nullptr) {
    std::fclose(stdinFile);
  }
  Outcome outcome;
  int open = 2;
  if (closedStdout) {
    ::close(outPipe[0]);
    outPipe[0] = -1;
    open = 1;
  }
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  while (open > 0) {
    ::poll(fds, 2, -1);
    for (pollfd& p : fds) {
      if (p.fd < 0 || p.revents == 0) {
        continue;
      }
      char buffer[4096];
      const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
      if (n <= 0) {
        ::close(p.fd);
        p.fd = -1;
        --open;
        continue;
      }
      (p.fd == outPipe[0] ? outcome.out : outcome.err).append(buffer, static_cast<std::size_t>(n));
      if (p.fd == outPipe[0] && onOutput) {
        onOutput(outcome.out, pid);
      }
    }
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  outcome.peakKb = usage.ru_maxrss;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

Outcome Cli(const std::vector<std::string>& args) {
  return RunProgram(VARNOW_CLI, args);
}

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = text.find(end, start);
    if (stop == std::string::npos) {
      stop = text.size();
    }
    lines.push_back(text.substr(start, stop - start));
    start = stop + end.size();
  }
  return lines;
}

std::string Settings(const std::string& outputFolder, bool script, std::string_view on) {
  std::string s = "[Main]\r\nStorePatch=" + outputFolder + "\r\n";
  for (const char* key :
       {"RmScript", "RmNoscript", "RmIframe", "RmonMouseOver", "RmSpan", "RmStyle", "RmMSWord",
        "RmTable", "RmBody", "RmBanner", "RmFont", "RmBlank"}) {
    s += std::string(key) + "=" + (script && key == on ? "-1" : "0") + "\r\n";
  }
  return s;
}

std::map<std::string, std::string> RunResult(const fs::path& base) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(base)) {
    if (e.is_directory()) {
      files[fs::relative(e.path(), base).string() + "/"] = "";  // no folder for pages unwritten
      continue;
    }
    if (e.path().filename() == ".varnow-manifest") {
      continue;  // its times are the copies' own
    }
    std::string bytes = ReadBytes(e.path());
    if (e.path().filename() == "log.txt") {
      std::vector<std::string> lines = Lines(bytes, "\r\n");
      lines[1] = lines[3] = "";
      bytes.clear();
      for (std::string& line : lines) {
        if (const std::size_t at = line.find(base.string()); at != std::string::npos) {
          line.replace(at, base.string().size(), "OUT");
        }
        bytes += line + "\n";
      }
    }
    files[fs::relative(e.path(), base).string()] = bytes;
  }
  return files;
}

}  // namespace varnow::cli_test
