#include "core/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace SafeFile {

namespace {

constexpr const char* kTemporarySuffix = ".tmp";

std::string Reason(int code) { return std::strerror(code); }

// Sets `error` (when given) and returns the code for `code`.
std::error_code Failed(int code, const std::string& what, std::string* error)
{
    if (error != nullptr) *error = what + ": " + Reason(code);
    return {code, std::system_category()};
}

// Writes all of `bytes`; false with errno set on failure.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;  // no progress and no reason: do not spin
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Gives the finished temporary file its name without taking the name from a file that has it.
// Some file systems know no "rename unless taken"; a hard link does the same there.
bool MoveToFreeName(const char* temporary, const char* target)
{
    if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(temporary, target) != 0) return false;
    ::unlink(temporary);
    return true;
}

// Flushes the directory holding `path`, so that a new name in it reaches the disk; a file
// system that cannot flush directories (EINVAL) has nothing to do.
void FlushDirectory(const std::filesystem::path& path)
{
    const std::filesystem::path parent = path.parent_path();
    FileDescriptor directory(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen() && (::fsync(directory.get()) == 0 || errno == EINVAL)) return;
    std::fprintf(stderr, "Kelvane: %s was written, but its folder could not be flushed to disk: %s\n",
                 path.c_str(), Reason(errno).c_str());
}

}  // namespace

FileDescriptor::~FileDescriptor()
{
    if (c_fd >= 0) ::close(c_fd);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (c_fd >= 0) ::close(c_fd);
        c_fd = std::exchange(other.c_fd, -1);
    }
    return *this;
}

bool FileDescriptor::Close()
{
    const int fd = std::exchange(c_fd, -1);
    return fd < 0 || ::close(fd) == 0;
}

bool ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes,
                     std::string* error)
{
    bytes->clear();
    error->clear();
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        if (errno != ENOENT) *error = "cannot open " + path.string() + ": " + Reason(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        *error = "cannot read " + path.string() + ": " + Reason(errno);
        return false;
    }
    const std::string tooLong = path.string() + " is longer than " + std::to_string(maxBytes) + " bytes";
    if (!S_ISREG(info.st_mode)) {
        *error = path.string() + " is not a regular file";
        return false;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        *error = tooLong;
        return false;
    }
    // One byte more than allowed is asked for, so that a file that grew meanwhile is refused too.
    bytes->resize(maxBytes + 1);
    std::size_t filled = 0;
    while (filled < bytes->size()) {
        const ssize_t got = ::read(fd.get(), bytes->data() + filled, bytes->size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = "cannot read " + path.string() + ": " + Reason(errno);
            bytes->clear();
            return false;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > maxBytes) {
        *error = tooLong;
        bytes->clear();
        return false;
    }
    bytes->resize(filled);
    return true;
}

std::error_code WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    Existing existing, std::string* error)
{
    const std::string target = path.string();
    const std::string temporary = target + kTemporarySuffix;
    // Whatever goes wrong once the temporary file exists, it goes with the failure.
    const auto failedWithTemporary = [&](const std::string& what) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return Failed(code, what, error);
    };

    // A leftover of an interrupted write is replaced; O_EXCL then makes sure the file written
    // is a new regular file of our own, never a FIFO or a link found under that name.
    ::unlink(temporary.c_str());
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.IsOpen()) return Failed(errno, "cannot create " + temporary, error);
    if (!WriteAll(fd.get(), bytes)) return failedWithTemporary("cannot write " + temporary);
    // The bytes are on the disk before the name moves: after a crash at any point the name
    // holds either the old file or the new one, both complete.
    if (::fsync(fd.get()) != 0) return failedWithTemporary("cannot flush " + temporary + " to disk");
    if (!fd.Close()) return failedWithTemporary("cannot close " + temporary);

    if (existing == Existing::kReplace) {
        if (::rename(temporary.c_str(), target.c_str()) != 0) return failedWithTemporary("cannot replace " + target);
    } else if (!MoveToFreeName(temporary.c_str(), target.c_str())) {
        if (errno != EEXIST) return failedWithTemporary("cannot name the file " + target);
        ::unlink(temporary.c_str());
        if (error != nullptr) *error = target + " exists already";
        return std::make_error_code(std::errc::file_exists);
    }
    FlushDirectory(path);
    return {};
}

}  // namespace SafeFile
