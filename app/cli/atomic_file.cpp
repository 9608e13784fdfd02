#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace stelvo {

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error) {
  std::string temp = path + ".tmp.XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  std::FILE* file = fdopen(fd, "w");
  if (file == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  bool ok = write(file);
  int savedErrno = errno;
  ok = ok && std::fflush(file) == 0 && fsync(fd) == 0;
  if (!ok) savedErrno = errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    error = "cannot write " + path + ": " + std::strerror(savedErrno);
  }
  return ok;
}

}  // namespace stelvo
