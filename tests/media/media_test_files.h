// Sound files written once per test run by the platform's media writer, in a temporary
// directory removed at exit.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

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
        WriteSoundHeldToTheEnd((c_dir / "held_to_the_end.wav").string());
    }
    ~Files() { RemoveFiles(); }

    // Bits written first to last, each byte from its top bit down.
    struct BitWriter {
        std::vector<std::uint8_t> bytes;
        int used = 8;  // bits taken in the last byte
        void Put(unsigned value, int count)
        {
            for (int i = count - 1; i >= 0; --i) {
                if (used == 8) {
                    bytes.push_back(0);
                    used = 0;
                }
                if ((value >> i) & 1u) bytes.back() |= static_cast<std::uint8_t>(0x80u >> used);
                ++used;
            }
        }
        // Rice code: (value >> k) zeros, a one, then the low k bits.
        void Rice(unsigned value, int k)
        {
            for (unsigned q = value >> k; q > 0; --q) Put(0, 1);
            Put(1, 1);
            Put(value, k);
        }
        // A signed value folded to 0, -1, 1, -2, ... and Rice coded with k + 1 low bits.
        void Signed(int value, int k)
        {
            const auto magnitude = static_cast<unsigned>(value < 0 ? -value : value);
            Rice(value < 0 ? 2 * magnitude - 1 : 2 * magnitude, k + 1);
        }
        // A header number: its width as a Rice code, then the number in that many bits.
        void Number(unsigned value)
        {
            int k = 0;
            while ((value >> k) != 0) ++k;
            Rice(static_cast<unsigned>(k), 2);
            Rice(value, k);
        }
    };

    // About a second (8192 samples at 8 kHz, mono) of a 500 Hz triangle at -18 dB in the
    // Shorten format, 2.6 KB. Its decoder keeps every packet it is given until it holds 8 KB
    // or the file has ended, so the whole second comes out only when the decoder is drained at
    // the end of the file, as with WMA Lossless files; the media writer's formats give their
    // samples packet by packet.
    static void WriteSoundHeldToTheEnd(const std::string& path)
    {
        constexpr int kRate = 8000, kBlock = 256, kBlocks = 32;
        constexpr unsigned kSigned16 = 5, kVerbatim = 9, kBitShift = 6, kDifference1 = 1, kQuit = 4;
        BitWriter out;
        for (char c : std::string("ajkg")) out.Put(static_cast<unsigned char>(c), 8);
        out.Put(2, 8);  // version
        for (unsigned field : {kSigned16, 1u /* channels */, unsigned(kBlock), 0u /* predictor order */,
                               0u /* blocks averaged */, 0u /* bytes skipped */})
            out.Number(field);
        // The canonical WAV header the decoder takes the rate from, carried verbatim.
        std::vector<std::uint8_t> wav;
        const auto le = [&wav](unsigned v, int n) {
            for (int i = 0; i < n; ++i) wav.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        };
        const auto tag = [&wav](const char* t) { wav.insert(wav.end(), t, t + 4); };
        constexpr unsigned kDataBytes = kBlock * kBlocks * 2;
        tag("RIFF");
        le(36 + kDataBytes, 4);
        tag("WAVE");
        tag("fmt ");
        le(16, 4);         // the format's size
        le(1, 2);          // PCM
        le(1, 2);          // channels
        le(kRate, 4);
        le(kRate * 2, 4);  // bytes per second
        le(2, 2);          // bytes per frame
        le(16, 2);         // bits per sample
        tag("data");
        le(kDataBytes, 4);
        out.Rice(kVerbatim, 2);
        out.Rice(static_cast<unsigned>(wav.size()), 5);
        for (std::uint8_t byte : wav) out.Rice(byte, 8);
        out.Rice(kBitShift, 2);
        out.Rice(10, 2);  // samples are steps of 1024
        // Each sample differs from the one before by one step: down to -4, then eight up and
        // eight down.
        for (int block = 0, n = 0; block < kBlocks; ++block) {
            out.Rice(kDifference1, 2);
            out.Rice(0, 3);  // the differences' Rice width, less one
            for (int i = 0; i < kBlock; ++i, ++n) out.Signed(n < 4 || (n - 4) / 8 % 2 == 1 ? -1 : 1, 0);
        }
        out.Rice(kQuit, 2);
        out.Put(0, 16);  // the decoder reads a command only with a few bits to spare
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.bytes.data()), static_cast<std::streamsize>(out.bytes.size()));
    }
    std::filesystem::path c_dir;
};

}  // namespace media_test
