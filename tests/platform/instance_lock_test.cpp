#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/instance_lock.h"
#include "tests/support/temp_dir.h"

using namespace kestrel;
using Result = InstanceLock::Result;
using kestrel::testing::TempDir;

namespace {

// Another process that takes the lock and keeps it until it is killed or its
// pipe is closed. Construction returns once the child has tried the lock;
// a try that hangs ends the child after 5 s and reads as -1.
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
            ::alarm(5);
            char result = static_cast<char>(lock.tryAcquire());
            ::alarm(0);
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

TEST(InstanceLock, AnythingButARegularFileOfTheUserIsRefusedAtOnce)
{
    TempDir dir;
    auto place = [&](const std::string& folder) {
        std::filesystem::create_directory(dir / folder);
        return dir.path() + "/" + folder + "/lanterns-orchid-kestrelbay.lock";
    };
    std::ofstream(dir / "target").flush();
    std::filesystem::create_symlink(dir / "target", place("link"));
    ASSERT_EQ(::mkfifo(place("fifo").c_str(), 0600), 0); // a plain open would wait for a writer
    std::vector<std::string> refused = {"missing", "link", "fifo"};
    if (::geteuid() == 0) {
        std::ofstream(place("foreign")).flush();
        ASSERT_EQ(::chown(place("foreign").c_str(), 65534, 65534), 0);
        refused.push_back("foreign");
    }
    for (const std::string& folder : refused) {
        LockHolder child(dir / folder); // -1 if it hung
        ASSERT_EQ(child.childResult(), static_cast<int>(Result::Failed)) << folder;
        InstanceLock lock(dir / folder);
        EXPECT_EQ(lock.tryAcquire(), Result::Failed) << folder;
        EXPECT_FALSE(lock.failure().empty()) << folder;
    }
}

TEST(InstanceLock, DefaultPathDependsOnTheUserAlone)
{
    const std::string expected =
        "/dev/shm/lanterns-orchid-kestrelbay-" + std::to_string(::geteuid()) + ".lock";
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(InstanceLock().path(), expected);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLock().path(), expected);
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
    EXPECT_EQ(InstanceLock("/var/lock/").path(), "/var/lock/lanterns-orchid-kestrelbay.lock");
}
