// A FIFO under a file's name, for tests of code that must never wait on one: opening a FIFO
// waits for its other end. Should the code under test wait longer than the patience given,
// the watchdog opens the other end, again and again, so that the test ends (and fails) instead
// of hanging.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace kt {

class WatchedFifo {
public:
    // Makes the FIFO at `path` (its directory must exist) and starts watching.
    explicit WatchedFifo(std::filesystem::path path,
                         std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    // Stops watching and removes the FIFO.
    ~WatchedFifo();
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    // The code under test is done: the watchdog stops. True when it had to open the other end,
    // that is when the code waited on the FIFO.
    bool Stop();

private:
    void Watch(std::chrono::milliseconds patience);

    std::filesystem::path c_path;
    std::mutex c_lock;
    std::condition_variable c_done;
    bool c_bStopped = false;
    std::atomic<bool> c_bRescued{false};
    std::thread c_watchdog;
};

}  // namespace kt
