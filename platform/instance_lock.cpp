#include "platform/instance_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

std::string defaultInstanceLockPath()
{
    return std::string("/dev/shm/") + InstanceLock::kName + "-" + std::to_string(::geteuid()) + ".lock";
}

InstanceLock::InstanceLock() : path_(defaultInstanceLockPath()) {}

InstanceLock::InstanceLock(const std::string& directory)
    : path_(directory + (directory.empty() || directory.back() != '/' ? "/" : "") + kName + ".lock")
{
}

InstanceLock::~InstanceLock()
{
    release();
}

InstanceLock::Result InstanceLock::fail(const std::string& why)
{
    failure_ = why;
    return Result::Failed;
}

InstanceLock::Result InstanceLock::tryAcquire()
{
    if (held())
        return Result::Acquired;
    failure_.clear();
    // The path is known to every user of the machine. No symbolic links;
    // O_NONBLOCK so that a FIFO planted there opens at once instead of
    // waiting for a writer; and then only a regular file of our own, checked
    // on what was opened, not on the name.
    int fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return fail(errno == ELOOP ? "a symbolic link" : std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return fail("not a regular file of this user");
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldByAnother;
        return fail(std::strerror(error));
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceLock::release()
{
    if (fd_ < 0)
        return;
    // Closing the only descriptor drops the lock. The file stays: removing
    // it would let a starting copy lock a file that is no longer the one.
    ::close(fd_);
    fd_ = -1;
}

} // namespace kestrel
