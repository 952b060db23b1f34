#include "app/platform/posix/file_names_posix.h"

#include "app/text/cp932.h"

#include <algorithm>
#include <cerrno>

namespace mirunea {

std::string fileSystemName(const std::string& codePage932Name)
{
    const bool ascii = std::all_of(codePage932Name.begin(), codePage932Name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? codePage932Name : cp932::toUtf8(codePage932Name);
}

bool locksUnsupported(int errnoValue)
{
    return errnoValue == ENOLCK || errnoValue == EINVAL || errnoValue == EOPNOTSUPP || errnoValue == ENOSYS;
}

} // namespace mirunea
