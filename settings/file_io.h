#pragma once
// Whole-file reads and crash-safe whole-file replacement for the settings files.

#include <optional>
#include <string>

namespace kestrel {

enum class SaveResult;

// The first maxBytes bytes of the regular file at path (fewer when the file
// is shorter, or when reading fails part way); nothing when it does not open
// or is not a regular file.
std::optional<std::string> readFilePrefix(const std::string& path, std::size_t maxBytes);

// Replaces the file at path by bytes, all or nothing: writes a temporary file
// in the same directory, flushes it to disk and renames it over path. The
// new file keeps the old file's permission bits and, where allowed, its owner
// (a new one gets 0666 less the umask). A symbolic link at path stays and
// its target is replaced. Any failure removes the temporary file and leaves
// path untouched. Only when the directory may not be written but the file
// may is the file rewritten in place instead.
// OpenFailed: path exists but is not a writable regular file, or the
// temporary file cannot be created. WriteFailed: writing, flushing or the
// final rename failed.
SaveResult replaceFile(const std::string& path, const std::string& bytes);

// Creates the folder that is to hold the file at path, with any missing
// folders above it, each readable by its owner only (0700). True when the
// folder exists afterwards; folders that exist are left as they are.
bool makeFolderFor(const std::string& path);

} // namespace kestrel
