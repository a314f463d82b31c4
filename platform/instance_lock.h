#pragma once
// Keeps a second copy of the program from starting: a per-user lock that is
// held exactly while a copy runs. It is an advisory lock on a file, so the
// system drops it at once when the holder ends in any way, killed included,
// and it works across network namespaces of one machine.

#include <string>

namespace kestrel {

class InstanceLock {
public:
    enum class Result { Acquired, HeldByAnother, Failed };

    static constexpr const char* kName = "lanterns-orchid-kestrelbay";

    // The lock file of this user (defaultInstanceLockPath).
    InstanceLock();
    // The lock file lies in directory (for tests).
    explicit InstanceLock(const std::string& directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting. Failed means the lock could not be
    // tried at all (the file does not open, is no regular file, belongs to
    // another user, ...); failure() then says why. The start goes on
    // without the lock: anyone could plant such a file at the known path,
    // and that must not keep the player from playing.
    Result tryAcquire();
    // Gives the lock up; the destructor does the same.
    void release();

    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // Why the last tryAcquire failed, "" when it did not.
    const std::string& failure() const { return failure_; }

private:
    Result fail(const std::string& why);

    std::string path_;
    std::string failure_;
    int fd_ = -1;
};

// The lock file used by the default constructor: in /dev/shm, named after
// the user id alone, so every copy of one user meets the same file whatever
// its environment (su, sudo -u, a trimmed launcher, another network
// namespace). /dev/shm is the machine's place for named synchronisation
// objects and no /tmp cleaner ages it out under a running copy.
std::string defaultInstanceLockPath();

} // namespace kestrel
