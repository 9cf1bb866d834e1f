// File operations the kernel offers beyond the C library.
#pragma once

namespace ws {
// Moves from over to, replacing an existing to; false when it could not.
bool ReplaceFile(const char* from, const char* to);
}  // namespace ws
