#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace stelvo {

namespace {

struct OpenedTemp {
  int fd = -1;
  bool anonymous = false;
  std::string name;  // the named temporary file when no anonymous one could be had
};

std::string DirectoryOf(const std::string& path) {
  const std::string parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

OpenedTemp OpenTemp(const std::string& path) {
  OpenedTemp temp;
  temp.fd = open(DirectoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (temp.fd >= 0) {
    temp.anonymous = true;
    return temp;
  }
  // File systems without anonymous files: a named one, removed on failure.
  temp.name = path + ".tmp.XXXXXX";
  temp.fd = mkostemp(temp.name.data(), O_CLOEXEC);
  if (temp.fd >= 0) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(temp.fd, 0666 & ~mask);
  }
  return temp;
}

// Gives the finished file its place: a name beside the target, then the rename.
bool Publish(const OpenedTemp& temp, const std::string& path) {
  if (!temp.anonymous) return std::rename(temp.name.c_str(), path.c_str()) == 0;
  const std::string link = path + ".tmp." + std::to_string(getpid());
  const std::string self = "/proc/self/fd/" + std::to_string(temp.fd);
  unlink(link.c_str());  // a leftover of an earlier process with this pid
  if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, link.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
  if (std::rename(link.c_str(), path.c_str()) == 0) return true;
  const int saved = errno;
  unlink(link.c_str());
  errno = saved;
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error) {
  auto fail = [&](int code) {
    error = "cannot write " + path + ": " + std::strerror(code);
    return false;
  };
  OpenedTemp temp = OpenTemp(path);
  if (temp.fd < 0) return fail(errno);
  std::FILE* file = fdopen(temp.fd, "w");
  if (file == nullptr) {
    const int saved = errno;
    close(temp.fd);
    if (!temp.anonymous) unlink(temp.name.c_str());
    return fail(saved);
  }
  errno = EIO;  // for a writer that fails without setting errno
  bool ok = write(file) && std::fflush(file) == 0 && fsync(temp.fd) == 0;
  int saved = errno;
  if (ok && !Publish(temp, path)) {
    ok = false;
    saved = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok && !temp.anonymous) unlink(temp.name.c_str());
  return ok || fail(saved);
}

bool WriteBytesAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  return WriteFileAtomically(
      path,
      [bytes](std::FILE* f) { return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(); },
      error);
}

}  // namespace stelvo
