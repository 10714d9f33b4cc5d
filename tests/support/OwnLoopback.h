#pragma once

#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orinsub::testing {

/// Moves this process into a network namespace of its own with its loopback up, before it starts
/// anything, so that fixed ports (Art-Net, sACN) are free whatever else runs on the machine.
/// False without the right to (not root): it shares the machine's loopback.
inline bool OwnLoopback()
{
    if (unshare(CLONE_NEWNET) != 0)
        return false;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq loopback{};
    std::strcpy(loopback.ifr_name, "lo");
    bool up = ioctl(fd, SIOCGIFFLAGS, &loopback) == 0;
    loopback.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &loopback) == 0;
    close(fd);
    return up;
}

} // namespace orinsub::testing
