#include "platform/UniqueFd.h"

#include <unistd.h>

namespace platform {

void UniqueFd::reset(int fd)
{
    // close() is never retried: on Linux the descriptor is gone even when it reports EINTR.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

} // namespace platform
