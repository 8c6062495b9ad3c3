#include "support/watched_fifo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

namespace kt {

WatchedFifo::WatchedFifo(std::filesystem::path path, std::chrono::milliseconds patience) : c_path(std::move(path))
{
    if (::mkfifo(c_path.c_str(), 0644) != 0) throw std::runtime_error("cannot make the FIFO " + c_path.string());
    c_watchdog = std::thread([this, patience] { Watch(patience); });
}

WatchedFifo::~WatchedFifo()
{
    Stop();
    ::unlink(c_path.c_str());
}

bool WatchedFifo::Stop()
{
    {
        std::lock_guard<std::mutex> guard(c_lock);
        c_bStopped = true;
    }
    c_done.notify_all();
    if (c_watchdog.joinable()) c_watchdog.join();
    return c_bRescued;
}

void WatchedFifo::Watch(std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> lock(c_lock);
    if (c_done.wait_for(lock, patience, [this] { return c_bStopped; })) return;
    // Waited too long. Without waiting ourselves, open each end once in a while: a reader
    // waiting in open() is let through by a writer, a writer by a reader.
    while (!c_done.wait_for(lock, std::chrono::milliseconds(50), [this] { return c_bStopped; })) {
        c_bRescued = true;
        for (const int mode : {O_RDONLY, O_WRONLY}) {
            const int fd = ::open(c_path.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }
}

}  // namespace kt
