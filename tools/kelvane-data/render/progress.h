// Progress of a generator run on standard error: assets done of all, the one just finished,
// and the time left, judged from the weights (rough costs) of the assets still to make. On a
// terminal one line is rewritten in place; otherwise a line is written every few seconds.
#pragma once

#include <chrono>
#include <mutex>
#include <ostream>
#include <string>

namespace render {

class Progress {
public:
    Progress(int total, double totalWeight, std::ostream& out, bool terminal);
    // An asset of `weight` is finished (made, taken from the cache or failed).
    void Finished(const std::string& name, double weight);
    // Ends the line on a terminal.
    void Close();
    // The text shown after `done` of `total` assets with `doneWeight` of `totalWeight` after
    // `seconds`: "[12/245] data/x.enc, about 1 min 20 s left".
    static std::string Line(int done, int total, const std::string& name, double doneWeight, double totalWeight,
                            double seconds);

private:
    using Clock = std::chrono::steady_clock;
    std::mutex c_lock;
    std::ostream& c_out;
    const bool c_terminal;
    const int c_total;
    const double c_totalWeight;
    int c_done = 0;
    double c_doneWeight = 0.0;
    Clock::time_point c_started = Clock::now();
    Clock::time_point c_lastShown = Clock::now();
};

}  // namespace render
