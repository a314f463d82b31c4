#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "app/startup/instance_lock.h"
#include "support/temp_dir.h"

using namespace kestrel;
using Result = InstanceLock::Result;
using kestrel::testing::TempDir;

namespace {

// Another process that takes the lock and keeps it until it is killed or its
// pipe is closed. Construction returns once the child has tried the lock.
class LockHolder {
public:
    explicit LockHolder(const std::string& directory)
    {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(hold[1]);
            InstanceLock lock(directory);
            char result = static_cast<char>(lock.tryAcquire());
            (void)!::write(ready[1], &result, 1);
            char ignored;
            (void)!::read(hold[0], &ignored, 1); // blocks until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        holdPipe_ = hold[1];
        char result = -1;
        if (::read(ready[0], &result, 1) != 1)
            result = -1;
        ::close(ready[0]);
        childResult_ = result;
    }
    ~LockHolder()
    {
        if (pid_ > 0)
            kill();
    }

    int childResult() const { return childResult_; }

    void kill()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        ::close(holdPipe_);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int holdPipe_ = -1;
    int childResult_ = -1;
};

} // namespace

TEST(InstanceLock, HeldByAnotherProcessUntilItIsKilled)
{
    TempDir dir;
    LockHolder other(dir.path());
    ASSERT_EQ(other.childResult(), static_cast<int>(Result::Acquired));

    InstanceLock mine(dir.path());
    EXPECT_EQ(mine.tryAcquire(), Result::HeldByAnother);
    EXPECT_FALSE(mine.held());

    other.kill(); // the system drops the lock of a killed process at once
    EXPECT_EQ(mine.tryAcquire(), Result::Acquired);
    EXPECT_TRUE(mine.held());
}

TEST(InstanceLock, ReleasedWhenTheHolderIsDestroyed)
{
    TempDir dir;
    {
        InstanceLock first(dir.path());
        EXPECT_EQ(first.tryAcquire(), Result::Acquired);
        EXPECT_EQ(first.tryAcquire(), Result::Acquired); // asking again keeps it

        InstanceLock second(dir.path());
        EXPECT_EQ(second.tryAcquire(), Result::HeldByAnother);
        LockHolder child(dir.path());
        EXPECT_EQ(child.childResult(), static_cast<int>(Result::HeldByAnother));
    }
    InstanceLock third(dir.path());
    EXPECT_EQ(third.tryAcquire(), Result::Acquired);
    third.release();
    LockHolder child(dir.path());
    EXPECT_EQ(child.childResult(), static_cast<int>(Result::Acquired));
}

TEST(InstanceLock, NotPassedOnToProgramsItStarts)
{
    TempDir dir;
    auto lock = std::make_unique<InstanceLock>(dir.path());
    ASSERT_EQ(lock->tryAcquire(), Result::Acquired);

    // A started program that outlives the lock's release, e.g. a mail client.
    // The child has replaced itself by the program once `execed` reads end of file.
    int input[2], execed[2];
    ASSERT_EQ(::pipe(input), 0);
    ASSERT_EQ(::pipe2(execed, O_CLOEXEC), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(input[0], 0);
        ::close(input[1]);
        ::execlp("cat", "cat", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    ::close(execed[1]);
    char ignored;
    ASSERT_EQ(::read(execed[0], &ignored, 1), 0);
    ::close(execed[0]);
    lock.reset();

    InstanceLock next(dir.path());
    EXPECT_EQ(next.tryAcquire(), Result::Acquired);
    ::close(input[1]); // cat ends
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(InstanceLock, FailureToTryTheLockIsReportedAsSuch)
{
    TempDir dir;
    EXPECT_EQ(InstanceLock(dir / "missing").tryAcquire(), Result::Failed);

    // A symbolic link planted in the lock's place is not followed.
    std::filesystem::create_directory(dir / "links");
    std::filesystem::create_symlink(dir / "target", dir / "links/lanterns-orchid-kestrelbay.lock");
    InstanceLock linked(dir / "links");
    EXPECT_EQ(linked.tryAcquire(), Result::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "target"));
}

TEST(InstanceLock, DefaultPathIsPerUser)
{
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string savedValue = saved ? saved : "";
    std::string inTmp = "/tmp/lanterns-orchid-kestrelbay-" + std::to_string(::geteuid()) + ".lock";

    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(defaultInstanceLockPath(), "/run/user/1234/lanterns-orchid-kestrelbay.lock");
    EXPECT_EQ(InstanceLock().path(), "/run/user/1234/lanterns-orchid-kestrelbay.lock");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(defaultInstanceLockPath(), inTmp);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(defaultInstanceLockPath(), inTmp);

    if (saved)
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
    EXPECT_EQ(InstanceLock("/var/lock/").path(), "/var/lock/lanterns-orchid-kestrelbay.lock");
}
