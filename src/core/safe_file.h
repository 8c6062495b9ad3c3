// Whole files read and written safely: a read never blocks on a pipe or device and never takes
// more than it asked for; a write replaces a file so that a crash at any moment leaves the old
// file or the new one, complete. Used for the settings file, save slots and screenshots.
// Depends on nothing but the standard library and POSIX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace SafeFile {

// An open file descriptor, closed when it goes out of scope. Move-only.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : c_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : c_fd(other.c_fd) { other.c_fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return c_fd; }
    bool IsOpen() const { return c_fd >= 0; }
    // Closes now; false (errno set) when the close reported a failure.
    bool Close();

private:
    int c_fd;
};

// Reads the regular file `path` whole into `bytes`. Opening never waits (a FIFO or device of
// that name is refused, not read), and a file longer than `maxBytes` is refused unread. False,
// with `error` naming the file and why, when the file is missing, not a regular file, too long
// or unreadable; `error` is empty exactly when the file does not exist.
bool ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes,
                     std::string* error);

// What WriteFileAtomically does when a file of that name exists already.
enum class Existing {
    kReplace,  // the new file takes its place
    kKeep,     // nothing is written: the name stays with the old file (std::errc::file_exists)
};

// Writes `bytes` as the file `path`, in a directory that must exist: first as "<path>.tmp"
// beside it (a leftover of that name is removed first), flushed to disk and closed, then moved
// to its name, and the directory flushed so that the name survives a power loss. Returns an
// empty code on success. On failure the temporary file is gone, a file already at `path` is
// untouched, `error` (when given) names the file with the system's reason, and the code is the
// system's (std::errc::file_exists when kKeep found the name taken). A directory that cannot be
// flushed once the file is in place is only reported on standard error: the file is written.
std::error_code WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    Existing existing, std::string* error);

}  // namespace SafeFile
