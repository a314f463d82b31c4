#include "settings/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/settings_files.h"

namespace kestrel {
namespace {

// Writes all of bytes, continuing after short writes and interruptions.
bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Permission bits for the replacement: the old file's, or what a plain
// create would give.
mode_t modeFor(const struct stat* old)
{
    if (old)
        return old->st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string directoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable. Failure here is not reported: the new
// content is already in place.
void syncDirectory(const std::string& path)
{
    int dir = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    ::fsync(dir);
    ::close(dir);
}

// The file a symbolic link at path points to, so that saving keeps the
// link; path itself when it is no link or a dangling one.
std::string followLink(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

// Rewrites the existing file at path without a temporary file: the new bytes
// over the old ones, then the length cut to theirs.
SaveResult overwrite(const std::string& path, const std::string& bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return SaveResult::OpenFailed;
    bool ok =
        writeAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok ? SaveResult::Ok : SaveResult::WriteFailed;
}

} // namespace

std::optional<std::string> readFilePrefix(const std::string& path, std::size_t maxBytes)
{
    // O_NONBLOCK so that a fifo in the file's place cannot hang the start.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        ssize_t n = ::read(fd, bytes.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

SaveResult replaceFile(const std::string& path, const std::string& bytes)
{
    std::string target = followLink(path);
    struct stat old {};
    bool exists = ::stat(target.c_str(), &old) == 0;
    // Refuse what a plain open for writing would refuse: a directory in the
    // file's place or a file the user may not write.
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return SaveResult::OpenFailed;

    std::string temp = target + ".tmp-XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        // A directory the user may not write can still hold files the user
        // may write; those are rewritten in place, as well as that allows.
        if (exists && (errno == EACCES || errno == EPERM))
            return overwrite(target, bytes);
        return SaveResult::OpenFailed;
    }
    if (exists)
        (void)!::fchown(fd, old.st_uid, old.st_gid); // keeps the owner where allowed
    bool ok = ::fchmod(fd, modeFor(exists ? &old : nullptr)) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
        syncDirectory(target);
        return SaveResult::Ok;
    }
    ::unlink(temp.c_str());
    return SaveResult::WriteFailed;
}

bool makeFolderFor(const std::string& path)
{
    const std::string folder = directoryOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    // Each missing folder from the top down; one made meanwhile by another
    // copy of the program counts as made.
    std::size_t slash = 0;
    do {
        slash = folder.find('/', slash + 1);
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    } while (slash != std::string::npos);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace kestrel
