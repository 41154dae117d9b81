// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/ReplaceFile.h"
#include "text/LogEncoding.h"

namespace varnow {

// log.txt as a run makes it. Each line is converted to cp1251 (bytes of a file name that are not
// UTF-8 are kept as they are), ended with CR LF and written to an unnamed file as it is added,
// so the run's memory does not grow with its log. The lines start behind room left for the
// header as it is expected to be; when the real header fits that room exactly (it does unless
// the date or the elapsed time gained a digit), Save writes it there and gives the file its
// name: the log is never copied. Otherwise, or when log.txt goes to another file system, Save
// writes the header to a new file and copies the lines behind it inside the kernel. log.txt
// is complete or absent, never partial; a killed run leaves no file, as the lines never had a
// name. On a file system without unnamed files (FAT, many FUSE and network file systems) the
// lines go to a file with a short temporary name that is renamed to log.txt, or removed when the
// log is forgotten.
// A line as log.txt holds it, in `encoding` (see AppendLogLineAsCp1251 and AppendLogLineAsUtf8),
// ended with CR LF, appended to `out`.
void AppendLogLineBytes(std::string& out, std::string_view utf8Line,
                        LogEncoding encoding = LogEncoding::kCp1251);

class StreamedLog {
 public:
  StreamedLog() = default;
  ~StreamedLog() { Reset(); }
  StreamedLog(const StreamedLog&) = delete;
  StreamedLog& operator=(const StreamedLog&) = delete;

  // Forgets the log. Lines added before Open wait in memory (a run's first few lines, made
  // before it knows where log.txt goes).
  void Reset();
  // The encoding of the lines from now on; set before the first line, it stays until Reset.
  void SetEncoding(LogEncoding encoding) { encoding_ = encoding; }
  // Puts the lines in `folder`, where log.txt is expected, behind room for `expectedHeader`;
  // where the file cannot be made there, in the system's temporary folder.
  void Open(const std::filesystem::path& folder, const std::vector<std::string>& expectedHeader);
  void Add(std::string_view utf8Line);
  // Lines converted already (by LogLineBytes), back to back.
  void AddConverted(std::string_view bytes);
  // Writes `header` (UTF-8 lines) and then every line added as `target`, replacing it. `pump`
  // runs between pieces of the copy, so a host stays responsive however long the log is.
  // Throws FileWriteError, also for a body that could not be made or written.
  void Save(const std::filesystem::path& target, const std::vector<std::string>& header,
            const std::function<void()>& pump);

 private:
  // A file for the lines in `folder`: unnamed where the file system allows, else named (in
  // bodyName_). Returns the descriptor, or -errno.
  int OpenBody(const std::filesystem::path& folder);
  // Gives the body, header written, the name `target`; false when it must be copied instead.
  bool GiveBodyTheName(const std::filesystem::path& target);
  void Flush();
  void Fail(FileWriteError::Stage stage, int err);

  std::string buffer_;  // converted lines not yet written
  LogEncoding encoding_ = LogEncoding::kCp1251;
  int fd_ = -1;
  std::string bodyName_;  // the body's temporary name, where it could not be unnamed
  bool opened_ = false;
  off_t reserved_ = 0;  // room left for the header at the start of the file
  off_t size_ = 0;      // bytes of lines on disk, behind that room
  int error_ = 0;       // the first failure of the body, 0 if none
  FileWriteError::Stage errorStage_ = FileWriteError::Stage::kWrite;
};

}  // namespace varnow
