// Pictures of the screens the player may enter next, decoded ahead on a worker thread while the
// player looks around and held in memory up to a byte budget. Entering a screen takes its
// pictures from here when they are ready and reads its files as ever otherwise. The worker only
// reads files and decodes pixels: no device, no game state, no error information. A picture that
// fails ahead is not held, so entering reads it again and reports the failure as it always has;
// an exception on the worker (memory running out, say) is held instead, and raised on the main
// thread when that picture is taken.
// Depends on the scrambled-image loaders (D3Dfunc) and imaging only.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "display/d3dfunc.h"
#include "imaging/image.h"

class PictureCache {
public:
    // A picture as the game names it (path and rotation offset) in the shape it is used in.
    struct Key {
        std::string path;
        int offset = 0;
        bool texture = false;  // the texture loader's shape (a base picture); else its own size
        bool operator==(const Key&) const = default;
    };
    // Bytes of pixels: a dozen panoramas, more than the screens one click from any screen
    // need; the game's peak memory stays well under 300 MiB with it.
    static constexpr std::size_t kDefaultBudget = std::size_t{48} << 20;
    // Decodes a scrambled file (already resolved) in a shape on the worker, as
    // D3Dfunc::DecodeEncryptedPicture does; false when the file does not decode.
    using Decoder = std::function<bool(const std::string& path, int offset, const D3Dfunc::PictureShape& shape,
                                       imaging::Image* out)>;

    // Starts the worker. Base pictures are decoded in `textureShape` (D3Dfunc::TextureShape of
    // the game's device); at most `budget` bytes of pixels are held, the picture being decoded
    // included: its size is read from its header first, and a picture that does not fit is
    // not decoded. `decoder` null: D3Dfunc::DecodeEncryptedPicture.
    PictureCache(D3Dfunc::PictureShape textureShape, std::size_t budget = kDefaultBudget, Decoder decoder = nullptr);
    // Stops the worker after the picture it is decoding.
    ~PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // Main thread. The pictures to decode ahead from now on, most wanted first; replaces the
    // list given before. Held pictures that are wanted again are kept; when the budget is short,
    // held pictures not in this list go first, the least recently shown of them first (one never
    // shown counts as shown when it was decoded), and wanted pictures never make room for each
    // other: what does not fit is left to be read on entry.
    void Want(const std::vector<Key>& pictures);
    // Main thread. The held picture for `key`, marked as shown now; when the worker is decoding
    // it at this moment, waits for it. Null when it is not held, or its file has changed on disk
    // since it was decoded (it is then dropped). Raises what decoding it ahead raised (once: the
    // failure is not held after that).
    std::shared_ptr<const imaging::Image> Take(const Key& key);
    // Waits until the worker has decoded or given up every wanted picture (tests, benchmarks).
    void WaitIdle();

    bool Holds(const Key& key) const;
    std::size_t get_BytesHeld() const;
    // Takes that found a picture ready, and takes that did not.
    int get_Hits() const;
    int get_Misses() const;

private:
    // What a file was when its picture was decoded: a picture of a changed file is not shown.
    struct FileStamp {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct Entry {
        Key key;
        std::string resolved;  // the file on disk
        FileStamp stamp;
        std::shared_ptr<const imaging::Image> picture;  // null when `failure` is set
        std::exception_ptr failure;                     // what decoding it raised
        std::size_t bytes = 0;
        std::uint64_t shown = 0;  // use clock when last shown (or decoded)
    };
    struct Job {
        Key key;
        std::string resolved;
    };

    void Run();
    // Decodes one job on the worker (unlocked) within the budget; what is held, if anything.
    void Decode(const Job& job, std::unique_lock<std::mutex>& lock);
    // Frees room for `bytes` more, dropping entries not wanted now; false if it cannot. Locked.
    bool MakeRoom(std::size_t bytes);
    bool Wanted(const Key& key) const;  // locked
    Entry* Find(const Key& key);        // locked
    static std::optional<FileStamp> StampOf(const std::string& path);
    // The bytes of pixels the job's picture takes in `shape`, from its file's header; none when
    // the header cannot be read (the file will not decode either).
    static std::optional<std::size_t> BytesFor(const Job& job, const D3Dfunc::PictureShape& shape);

    const D3Dfunc::PictureShape c_textureShape;
    const std::size_t c_budget;
    const Decoder c_decoder;
    mutable std::mutex c_mutex;
    std::condition_variable c_wake;      // the worker: new jobs or stop
    std::condition_variable c_progress;  // the main thread: a job finished
    std::deque<Job> c_jobs;
    std::vector<Key> c_wanted;
    std::vector<Entry> c_entries;
    std::optional<Key> c_decoding;
    std::size_t c_bytesHeld = 0;  // entries plus the picture being decoded
    std::uint64_t c_clock = 0;
    int c_hits = 0;
    int c_misses = 0;
    bool c_bStop = false;
    std::thread c_worker;  // last: starts once everything above exists
};
