#pragma once
// Writes a file under a temporary name beside the target and renames it into
// place, so that the target holds either its old content or the complete new one.

#include <cstdio>
#include <functional>
#include <string>

namespace stelvo {

// `write` fills the open temporary file and returns false on failure. On any
// failure the temporary file is removed and `error` holds one line.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error);

}  // namespace stelvo
