#include "tools/virlex-render/ProcessPipe.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace render {

ProcessPipe::~ProcessPipe() {
  std::string ignored;
  Finish(ignored);
}

bool ProcessPipe::Start(const std::string& program, const std::vector<std::string>& args,
                        std::string& error) {
  int fds[2];
  if (pipe(fds) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  // A program that stops reading must give a write error here, not a SIGPIPE that ends the
  // tool without a word.
  std::signal(SIGPIPE, SIG_IGN);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int status = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (status != 0) {
    close(fds[1]);
    error = status == ENOENT ? "the program '" + program + "' is not installed (not on the PATH)"
                             : "cannot start '" + program + "': " + std::strerror(status);
    return false;
  }
  program_ = program;
  fd_ = fds[1];
  pid_ = pid;
  return true;
}

bool ProcessPipe::Write(const void* data, std::size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0 && fd_ >= 0) {
    const ssize_t n = write(fd_, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<std::size_t>(n);
  }
  return bytes == 0;
}

bool ProcessPipe::Finish(std::string& error) {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (pid_ < 0) return false;
  int status = 0;
  pid_t done = -1;
  do {
    done = waitpid(static_cast<pid_t>(pid_), &status, 0);
  } while (done < 0 && errno == EINTR);
  pid_ = -1;
  if (done < 0) {
    error = "lost track of '" + program_ + "': " + std::strerror(errno);
    return false;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  error =
      WIFEXITED(status)
          ? "'" + program_ + "' failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")"
          : "'" + program_ + "' was ended by signal " + std::to_string(WTERMSIG(status));
  return false;
}

std::string MakeTemporaryFile(const std::string& suffix, std::string& error) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) folder = "/tmp";
  std::string name = (folder / ("virlex-render-XXXXXX" + suffix)).string();
  const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
  if (fd < 0) {
    error = "cannot make a temporary file in " + folder.string() + ": " + std::strerror(errno);
    return {};
  }
  close(fd);
  return name;
}

}  // namespace render
