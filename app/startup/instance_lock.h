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

    // The lock file lies in $XDG_RUNTIME_DIR, or in /tmp with the user id in
    // its name when that is unset or empty.
    InstanceLock();
    // The lock file lies in directory (for tests).
    explicit InstanceLock(const std::string& directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting. Failed means the lock could not be
    // tried at all (the file does not open, belongs to another user, ...);
    // the start then goes on as if it had been acquired.
    Result tryAcquire();
    // Gives the lock up; the destructor does the same.
    void release();

    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// The lock file used by the default constructor.
std::string defaultInstanceLockPath();

} // namespace kestrel
