// Whole files written so that the old file survives every failure, and read without ever
// waiting on something that is not a file.
#include "core/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>

#include "support/scoped_environment.h"
#include "support/watched_fifo.h"

namespace {

namespace fs = std::filesystem;
using SafeFile::Existing;

std::string Text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::string> Names(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int OpenDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// Writing a file grows it past what the process may write: write() then fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &c_old);
        c_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = c_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &c_old);
        std::signal(SIGXFSZ, c_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit c_old{};
    void (*c_oldHandler)(int) = nullptr;
};

TEST(WriteFileAtomically, ReplacesOrKeepsTheFileWholeAndLeavesNothingBeside)
{
    const kt::TemporaryDirectory dir;
    const fs::path file = dir.Path() / "file.txt";
    std::string error;
    EXPECT_FALSE(SafeFile::WriteFileAtomically(file, Bytes("first"), Existing::kReplace, &error)) << error;
    EXPECT_FALSE(SafeFile::WriteFileAtomically(file, Bytes("second"), Existing::kReplace, &error)) << error;
    EXPECT_EQ(Text(file), "second");

    // Keep: the name stays with the file that has it, and says so.
    const std::error_code taken = SafeFile::WriteFileAtomically(file, Bytes("third"), Existing::kKeep, &error);
    EXPECT_EQ(taken, std::errc::file_exists);
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_EQ(Text(file), "second");
    EXPECT_FALSE(SafeFile::WriteFileAtomically(dir.Path() / "new.txt", Bytes("new"), Existing::kKeep, &error));
    EXPECT_EQ(Text(dir.Path() / "new.txt"), "new");

    // A leftover temporary file of a crash, even a FIFO, is no obstacle.
    kt::WatchedFifo leftover(file.string() + ".tmp");
    EXPECT_FALSE(SafeFile::WriteFileAtomically(file, Bytes("fourth"), Existing::kReplace, &error)) << error;
    EXPECT_FALSE(leftover.Stop()) << "the write waited on the leftover";
    EXPECT_EQ(Text(file), "fourth");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"file.txt", "new.txt"}));
}

TEST(WriteFileAtomically, EveryFailureSaysWhereKeepsTheOldFileAndLeavesNoTemporaryFileOrDescriptor)
{
    const kt::TemporaryDirectory dir;
    const fs::path file = dir.Path() / "file.txt";
    std::string error;
    ASSERT_FALSE(SafeFile::WriteFileAtomically(file, Bytes("old"), Existing::kReplace, &error)) << error;
    const int descriptors = OpenDescriptors();

    // The directory does not exist; a file stands where it should be.
    for (const fs::path& nowhere : {dir.Path() / "missing" / "file.txt", file / "file.txt"}) {
        EXPECT_TRUE(SafeFile::WriteFileAtomically(nowhere, Bytes("new"), Existing::kReplace, &error)) << nowhere;
        EXPECT_NE(error.find(nowhere.string()), std::string::npos) << error;
    }
    // The disk takes no more: the write itself fails.
    {
        const FileSizeLimit limit(4);
        EXPECT_TRUE(SafeFile::WriteFileAtomically(file, Bytes("far too long"), Existing::kReplace, &error));
        EXPECT_NE(error.find(file.string() + ".tmp"), std::string::npos) << error;
    }
    // The name belongs to a directory: the rename fails once the new file is complete.
    fs::create_directories(dir.Path() / "taken" / "inside");
    EXPECT_TRUE(SafeFile::WriteFileAtomically(dir.Path() / "taken", Bytes("new"), Existing::kReplace, &error));
    EXPECT_NE(error.find((dir.Path() / "taken").string()), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(dir.Path() / "taken" / "inside"));

    EXPECT_EQ(Text(file), "old");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"file.txt", "taken"})) << "no temporary file is left";
    EXPECT_EQ(OpenDescriptors(), descriptors) << "no file descriptor is left open";
}

TEST(ReadRegularFile, ReadsFilesUpToTheLimitAndRefusesEverythingElseWithoutWaiting)
{
    const kt::TemporaryDirectory dir;
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::ofstream(dir.Path() / "file") << "12345678";
    EXPECT_TRUE(SafeFile::ReadRegularFile(dir.Path() / "file", 8, &bytes, &error)) << error;
    EXPECT_EQ(bytes, Bytes("12345678"));

    EXPECT_FALSE(SafeFile::ReadRegularFile(dir.Path() / "file", 7, &bytes, &error));
    EXPECT_NE(error.find("longer than 7 bytes"), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty());

    EXPECT_FALSE(SafeFile::ReadRegularFile(dir.Path() / "missing", 8, &bytes, &error));
    EXPECT_EQ(error, "") << "a missing file is no error, only absent";

    for (const fs::path& other : {fs::path("/dev/zero"), dir.Path()}) {
        EXPECT_FALSE(SafeFile::ReadRegularFile(other, 8, &bytes, &error)) << other;
        EXPECT_NE(error.find(other.string() + " is not a regular file"), std::string::npos) << error;
    }
    kt::WatchedFifo fifo(dir.Path() / "fifo");
    EXPECT_FALSE(SafeFile::ReadRegularFile(dir.Path() / "fifo", 8, &bytes, &error));
    EXPECT_FALSE(fifo.Stop()) << "the read waited on a FIFO";
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

}  // namespace
