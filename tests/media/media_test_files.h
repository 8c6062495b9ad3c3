// Sound files written once per test run by the platform's media writer, in a temporary
// directory removed at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/media/media_writer.h"

namespace media_test {

class Files {
public:
    static const Files& Get()
    {
        static Files files;
        return files;
    }
    // A path in the directory as the game keeps paths (16-bit).
    std::wstring Path(const std::string& name) const
    {
        const std::string p = (c_dir / name).string();
        return std::wstring(p.begin(), p.end());
    }
    // For a process that leaves without running its destructors.
    void RemoveFiles() const
    {
        std::error_code ignored;
        std::filesystem::remove_all(c_dir, ignored);
    }

private:
    Files() : c_dir(std::filesystem::temp_directory_path() / ("kelvane_media_" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(c_dir);
        const auto write = [this](const std::string& name, int ms, double hz) {
            platform::SoundSpec layout{44100, 2, 44100LL * ms / 1000, platform::SineTone(hz, 0.4f, 44100, 2)};
            platform::WriteSoundFile((c_dir / name).string(), layout);
        };
        write("short.wav", 300, 880.0);
        write("one.wav", 1000, 440.0);
        write("track1.mp3", 1500, 330.0);
        write("track2.mp3", 1500, 220.0);
        // Half a second of 8-bit samples at 8 kHz: one packet, which converts to more than
        // the output reads ahead.
        platform::SoundSpec onePacket{8000, 1, 4096, platform::SineTone(440.0, 0.4f, 8000, 1)};
        onePacket.wavBits = 8;
        platform::WriteSoundFile((c_dir / "one_packet.wav").string(), onePacket);
    }
    ~Files() { RemoveFiles(); }
    std::filesystem::path c_dir;
};

}  // namespace media_test
