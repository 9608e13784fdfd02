#pragma once
// Writes run output (CSV, PNG) so that the target holds either its old content or
// the complete new one, whatever happens: the data go into an anonymous file in the
// target's directory, which is synced and only then given a name and renamed over
// the target. A process killed while writing leaves no partial file behind.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace stelvo {

// `write` fills the open file and returns false on failure. On any failure the
// target is untouched and `error` holds one line, "cannot write PATH: reason".
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error);

bool WriteBytesAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace stelvo
