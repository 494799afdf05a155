// A program started with its standard input connected to us, for streaming data into it
// (the video frames into ffmpeg). Its standard output and error stay the tool's own, so
// what it reports reaches the user.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace render {

class ProcessPipe {
 public:
  ProcessPipe() = default;
  ~ProcessPipe();
  ProcessPipe(const ProcessPipe&) = delete;
  ProcessPipe& operator=(const ProcessPipe&) = delete;

  // Starts program (looked up on the PATH) with args. False with a message when it cannot
  // be started, for example because it is not installed. While a pipe is open, writing to
  // a program that has gone away fails instead of ending this process.
  bool Start(const std::string& program, const std::vector<std::string>& args, std::string& error);
  // All bytes or false (the program has exited or closed its input).
  bool Write(const void* data, std::size_t bytes);
  // Closes the program's input and waits for it; true when it exited with status 0.
  bool Finish(std::string& error);

 private:
  std::string program_;
  int fd_ = -1;
  long pid_ = -1;
};

// A new, empty file in the system's temporary folder with the given suffix; its path, or
// an empty text with an error.
std::string MakeTemporaryFile(const std::string& suffix, std::string& error);

}  // namespace render
