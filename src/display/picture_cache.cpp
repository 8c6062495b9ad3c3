#include "display/picture_cache.h"

#include <algorithm>
#include <filesystem>

#include "core/game_paths.h"

PictureCache::PictureCache(D3Dfunc::PictureShape textureShape, std::size_t budget)
    : c_textureShape(textureShape), c_budget(budget), c_worker([this] { Run(); })
{
}

PictureCache::~PictureCache()
{
    {
        std::lock_guard lock(c_mutex);
        c_bStop = true;
        c_jobs.clear();
    }
    c_wake.notify_all();
    c_worker.join();
}

void PictureCache::Want(const std::vector<Key>& pictures)
{
    std::vector<Job> jobs;
    jobs.reserve(pictures.size());
    // Resolved here: where the game's data lies is the main thread's knowledge.
    for (const Key& key : pictures) jobs.push_back(Job{key, GamePaths::Resolve(key.path)});
    {
        std::lock_guard lock(c_mutex);
        c_wanted = pictures;
        c_jobs.clear();
        for (Job& job : jobs)
            if (Find(job.key) == nullptr) c_jobs.push_back(std::move(job));
    }
    c_wake.notify_all();
}

std::shared_ptr<const imaging::Image> PictureCache::Take(const Key& key)
{
    std::unique_lock lock(c_mutex);
    // Half decoded already: waiting costs less than decoding it again here.
    c_progress.wait(lock, [&] { return !(c_decoding && *c_decoding == key); });
    Entry* entry = Find(key);
    if (entry != nullptr && StampOf(entry->resolved) != entry->stamp) {
        c_bytesHeld -= entry->bytes;
        c_entries.erase(c_entries.begin() + (entry - c_entries.data()));
        entry = nullptr;
    }
    if (entry == nullptr) {
        ++c_misses;
        return nullptr;
    }
    ++c_hits;
    entry->shown = ++c_clock;
    return entry->picture;
}

void PictureCache::WaitIdle()
{
    std::unique_lock lock(c_mutex);
    c_progress.wait(lock, [&] { return c_jobs.empty() && !c_decoding; });
}

bool PictureCache::Holds(const Key& key) const
{
    std::lock_guard lock(c_mutex);
    return std::any_of(c_entries.begin(), c_entries.end(), [&](const Entry& e) { return e.key == key; });
}

std::size_t PictureCache::get_BytesHeld() const
{
    std::lock_guard lock(c_mutex);
    return c_bytesHeld;
}

int PictureCache::get_Hits() const
{
    std::lock_guard lock(c_mutex);
    return c_hits;
}

int PictureCache::get_Misses() const
{
    std::lock_guard lock(c_mutex);
    return c_misses;
}

void PictureCache::Run()
{
    std::unique_lock lock(c_mutex);
    for (;;) {
        c_wake.wait(lock, [&] { return c_bStop || !c_jobs.empty(); });
        if (c_bStop) return;
        Job job = std::move(c_jobs.front());
        c_jobs.pop_front();
        if (Find(job.key) != nullptr) continue;
        c_decoding = job.key;
        lock.unlock();

        const D3Dfunc::PictureShape shape = job.key.texture ? c_textureShape : D3Dfunc::PictureShape{};
        const std::optional<FileStamp> before = StampOf(job.resolved);
        auto picture = std::make_shared<imaging::Image>();
        bool decoded = before.has_value() &&
                       D3Dfunc::DecodeEncryptedPicture(job.resolved, job.key.offset, shape, picture.get(), nullptr);
        // A file rewritten while it was read may have given a mixture of both versions.
        decoded = decoded && StampOf(job.resolved) == before;

        lock.lock();
        c_decoding.reset();
        const std::size_t bytes = picture->pixels.size();
        if (decoded && Wanted(job.key) && MakeRoom(bytes)) {
            c_entries.push_back(Entry{job.key, job.resolved, *before, std::move(picture), bytes, ++c_clock});
            c_bytesHeld += bytes;
        }
        if (c_jobs.empty()) c_progress.notify_all();
        else c_progress.notify_all();
    }
}

bool PictureCache::MakeRoom(std::size_t bytes)
{
    if (bytes > c_budget) return false;
    while (c_bytesHeld + bytes > c_budget) {
        auto victim = c_entries.end();
        for (auto it = c_entries.begin(); it != c_entries.end(); ++it) {
            if (Wanted(it->key)) continue;
            if (victim == c_entries.end() || it->shown < victim->shown) victim = it;
        }
        if (victim == c_entries.end()) return false;
        c_bytesHeld -= victim->bytes;
        c_entries.erase(victim);
    }
    return true;
}

bool PictureCache::Wanted(const Key& key) const
{
    return std::find(c_wanted.begin(), c_wanted.end(), key) != c_wanted.end();
}

PictureCache::Entry* PictureCache::Find(const Key& key)
{
    for (Entry& entry : c_entries)
        if (entry.key == key) return &entry;
    return nullptr;
}

std::optional<PictureCache::FileStamp> PictureCache::StampOf(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) return std::nullopt;
    return FileStamp{size, static_cast<std::int64_t>(modified.time_since_epoch().count())};
}
