#pragma once

#include <string>

namespace mirunea {

// The program names its files in code page 932, as a Windows program's ANSI
// calls do; the file system stores names in UTF-8, as the share shows them to
// Windows PCs. ASCII names are the same in both.
[[nodiscard]] std::string fileSystemName(const std::string& codePage932Name);

// Whether a failed F_OFD_SETLK says that the file system has no such locks
// (NFS without its lock manager, kernels or FUSE file systems without
// open-file-description locks) rather than that another program holds one.
// There is then no sharing rule to enforce, and the file is used unlocked.
[[nodiscard]] bool locksUnsupported(int errnoValue);

} // namespace mirunea
