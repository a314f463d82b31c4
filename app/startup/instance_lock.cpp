#include "app/startup/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

std::string defaultInstanceLockPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + InstanceLock::kName + ".lock";
    return std::string("/tmp/") + InstanceLock::kName + "-" + std::to_string(::geteuid()) + ".lock";
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

InstanceLock::Result InstanceLock::tryAcquire()
{
    if (held())
        return Result::Acquired;
    // No symbolic links, and only a file of our own: in a shared /tmp another
    // user could otherwise plant the file and keep us from starting.
    int fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return Result::Failed;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        Result result = errno == EWOULDBLOCK ? Result::HeldByAnother : Result::Failed;
        ::close(fd);
        return result;
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
