#include "render/progress.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

constexpr double kQuietSeconds = 5.0;  // between lines when standard error is not a terminal

std::string Duration(double seconds)
{
    const long whole = std::lround(seconds);
    if (whole < 60) return std::to_string(whole) + " s";
    return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
}

}  // namespace

Progress::Progress(int total, double totalWeight, std::ostream& out, bool terminal)
    : c_out(out), c_terminal(terminal), c_total(total), c_totalWeight(totalWeight)
{
}

std::string Progress::Line(int done, int total, const std::string& name, double doneWeight, double totalWeight,
                           double seconds)
{
    std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name;
    if (done >= total) return line + ", done in " + Duration(seconds);
    if (doneWeight <= 0.0 || seconds < 1.0) return line;
    const double left = seconds * std::max(0.0, totalWeight - doneWeight) / doneWeight;
    return line + ", about " + Duration(left) + " left";
}

void Progress::Finished(const std::string& name, double weight)
{
    std::lock_guard<std::mutex> guard(c_lock);
    ++c_done;
    c_doneWeight += weight;
    const Clock::time_point now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - c_started).count();
    const bool last = c_done == c_total;
    if (!c_terminal && !last && std::chrono::duration<double>(now - c_lastShown).count() < kQuietSeconds) return;
    c_lastShown = now;
    const std::string line = "kelvane-data: " + Line(c_done, c_total, name, c_doneWeight, c_totalWeight, seconds);
    if (c_terminal)
        c_out << "\r\033[K" << line << std::flush;
    else
        c_out << line << "\n";
}

void Progress::Close()
{
    std::lock_guard<std::mutex> guard(c_lock);
    if (c_terminal && c_done > 0) c_out << "\n";
}

}  // namespace render
