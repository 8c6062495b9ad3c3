#include "display/picture_cache.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>

#include "core/game_paths.h"
#include "imaging/d3dx_tex.h"

namespace {

// Enough of a file for the header of any picture the game ships; a header further in (a JPEG
// with large metadata blocks first) is read from the whole file.
constexpr std::size_t kHeaderBytes = std::size_t{64} << 10;

// The first `count` bytes of a scrambled file's picture: its bytes from `offset` on, then those
// before it. Empty when the file cannot be read with that offset.
std::vector<std::uint8_t> ReadPictureHead(const std::string& path, int offset, std::size_t count)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return {};
    const std::streamoff length = file.tellg();
    if (length <= 0 || offset < 0 || offset >= length) return {};
    const auto size = static_cast<std::size_t>(length);
    const auto head = static_cast<std::size_t>(offset);
    count = std::min(count, size);
    std::vector<std::uint8_t> bytes(count);
    char* out = reinterpret_cast<char*>(bytes.data());
    const std::size_t first = std::min(count, size - head);
    file.seekg(static_cast<std::streamoff>(head));
    file.read(out, static_cast<std::streamsize>(first));
    if (first < count) {
        file.seekg(0);
        file.read(out + first, static_cast<std::streamsize>(count - first));
    }
    if (!file) return {};
    return bytes;
}

}  // namespace

PictureCache::PictureCache(D3Dfunc::PictureShape textureShape, std::size_t budget, Decoder decoder)
    : c_textureShape(textureShape),
      c_budget(budget),
      c_decoder(decoder ? std::move(decoder)
                        : Decoder([](const std::string& path, int offset, const D3Dfunc::PictureShape& shape,
                                     imaging::Image* out) {
                              return D3Dfunc::DecodeEncryptedPicture(path, offset, shape, out, nullptr);
                          })),
      c_worker([this] { Run(); })
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
        // A failure held for a picture no longer wanted is never raised.
        std::erase_if(c_entries, [&](const Entry& entry) { return entry.failure && !Wanted(entry.key); });
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
    if (entry->failure) {
        // Raised here, on the main thread, as the same failure in reading it on entry would be.
        const std::exception_ptr failure = entry->failure;
        c_entries.erase(c_entries.begin() + (entry - c_entries.data()));
        ++c_misses;
        lock.unlock();
        std::rethrow_exception(failure);
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
    return std::any_of(c_entries.begin(), c_entries.end(), [&](const Entry& e) { return e.key == key && e.picture; });
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
        Decode(job, lock);
        c_decoding.reset();
        c_progress.notify_all();
    }
}

void PictureCache::Decode(const Job& job, std::unique_lock<std::mutex>& lock)
{
    const D3Dfunc::PictureShape shape = job.key.texture ? c_textureShape : D3Dfunc::PictureShape{};
    std::optional<FileStamp> before;
    std::optional<std::size_t> bytes;
    std::shared_ptr<imaging::Image> picture;
    bool decoded = false;
    std::exception_ptr failure;
    bool reserved = false;
    // Nothing raised here may leave the worker: it would end the game with no word, and for a
    // picture that may never be shown.
    try {
        lock.unlock();
        before = StampOf(job.resolved);
        if (before) bytes = BytesFor(job, shape);
        lock.lock();
        // The picture's room is taken before it is decoded, so that what the worker holds stays
        // within the budget at every moment; a picture that cannot have it is left to be read
        // on entry.
        if (!bytes || !Wanted(job.key) || !MakeRoom(*bytes)) return;
        c_bytesHeld += *bytes;
        reserved = true;
        lock.unlock();
        picture = std::make_shared<imaging::Image>();
        decoded = c_decoder(job.resolved, job.key.offset, shape, picture.get());
        // A file rewritten while it was read may have given a mixture of both versions.
        decoded = decoded && StampOf(job.resolved) == before;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!lock.owns_lock()) lock.lock();
    if (reserved) c_bytesHeld -= *bytes;
    if (!before || !Wanted(job.key)) return;
    if (failure) {
        c_entries.push_back(Entry{job.key, job.resolved, *before, nullptr, failure, 0, ++c_clock});
        return;
    }
    const std::size_t held = decoded ? picture->pixels.size() : 0;
    if (decoded && MakeRoom(held)) {
        c_entries.push_back(Entry{job.key, job.resolved, *before, std::move(picture), nullptr, held, ++c_clock});
        c_bytesHeld += held;
    }
}

std::optional<std::size_t> PictureCache::BytesFor(const Job& job, const D3Dfunc::PictureShape& shape)
{
    imaging::ImageInfo info;
    std::vector<std::uint8_t> head = ReadPictureHead(job.resolved, job.key.offset, kHeaderBytes);
    bool known = imaging::ReadImageInfo(head.data(), head.size(), &info, nullptr);
    if (!known && head.size() == kHeaderBytes) {
        head = ReadPictureHead(job.resolved, job.key.offset, std::numeric_limits<std::size_t>::max());
        known = imaging::ReadImageInfo(head.data(), head.size(), &info, nullptr);
    }
    if (!known) return std::nullopt;
    std::size_t width = static_cast<std::size_t>(info.width), height = static_cast<std::size_t>(info.height);
    if (shape.texture) {
        width = TextureSideForPicture(static_cast<UINT>(info.width), shape.maxWidth);
        height = TextureSideForPicture(static_cast<UINT>(info.height), shape.maxHeight);
    }
    return width * height * 4;
}

bool PictureCache::MakeRoom(std::size_t bytes)
{
    if (bytes > c_budget) return false;
    while (c_bytesHeld + bytes > c_budget) {
        auto victim = c_entries.end();
        for (auto it = c_entries.begin(); it != c_entries.end(); ++it) {
            if (Wanted(it->key) || it->bytes == 0) continue;
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
