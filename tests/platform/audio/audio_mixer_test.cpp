// The mixer: summing and clipping, what a voice's clock counts, the output that runs without
// a sound card, and a mixing pass that never allocates.
#include "platform/audio/audio_mixer.h"

#include "allocation_counter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using platform::Mixer;
using platform::Voice;

std::vector<float> Constant(float value, std::size_t frames) { return std::vector<float>(frames * 2, value); }

TEST(Mixer, TwoVoicesSumAndClip)
{
    Mixer mixer(Mixer::Output::Manual);
    Voice a(48000, 1000), b(48000, 1000);
    mixer.Add(&a);
    mixer.Add(&b);
    a.SetPlaying(true);
    b.SetPlaying(true);
    a.Write(Constant(0.25f, 100).data(), 100);
    b.Write(Constant(0.5f, 100).data(), 100);
    std::vector<float> out(200);
    mixer.Mix(out.data(), 100);
    EXPECT_FLOAT_EQ(out[0], 0.75f) << "two voices add";
    EXPECT_FLOAT_EQ(out[199], 0.75f);

    a.Write(Constant(0.75f, 10).data(), 10);
    b.Write(Constant(0.5f, 10).data(), 10);
    mixer.Mix(out.data(), 10);
    EXPECT_FLOAT_EQ(out[0], 1.0f) << "a sum above full scale clips";
    a.Write(Constant(-0.75f, 10).data(), 10);
    b.Write(Constant(-0.5f, 10).data(), 10);
    mixer.Mix(out.data(), 10);
    EXPECT_FLOAT_EQ(out[0], -1.0f) << "and below";
}

TEST(Mixer, VoiceClockCountsOnlyWhatWasPlayed)
{
    Mixer mixer(Mixer::Output::Manual);
    Voice v(48000, 1000);
    mixer.Add(&v);
    v.Write(Constant(0.5f, 300).data(), 300);
    std::vector<float> out(2 * 1000);
    mixer.Mix(out.data(), 100);
    EXPECT_EQ(v.ConsumedFrames(), 0u) << "a halted voice is not consumed";
    EXPECT_FLOAT_EQ(out[0], 0.0f);

    v.SetPlaying(true);
    mixer.Mix(out.data(), 1000);
    EXPECT_EQ(v.ConsumedFrames(), 300u) << "an underrun plays silence without moving the clock";
    EXPECT_FLOAT_EQ(out[2 * 299], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 300], 0.0f);
    EXPECT_FALSE(v.IsDrained());
    v.SetEndOfStream(true);
    EXPECT_TRUE(v.IsDrained());

    mixer.ResetVoice(&v);
    EXPECT_EQ(v.ConsumedFrames(), 0u);
    EXPECT_FALSE(v.IsEndOfStream());
    mixer.Remove(&v);
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}

TEST(Mixer, RingWrapsAndRefusesWhatDoesNotFit)
{
    Mixer mixer(Mixer::Output::Manual);
    Voice v(48000, 64);
    mixer.Add(&v);
    v.SetPlaying(true);
    std::vector<float> in(2 * 100);
    for (std::size_t i = 0; i < 100; ++i) in[2 * i] = in[2 * i + 1] = static_cast<float>(i) / 100.0f;
    EXPECT_EQ(v.Write(in.data(), 100), 64u) << "only the capacity is taken";
    std::vector<float> out(2 * 40);
    mixer.Mix(out.data(), 40);
    EXPECT_EQ(v.Write(in.data() + 2 * 64, 36), 36u);
    std::vector<float> rest(2 * 60);
    mixer.Mix(rest.data(), 60);
    for (std::size_t i = 0; i < 60; ++i)
        ASSERT_FLOAT_EQ(rest[2 * i], static_cast<float>(40 + i) / 100.0f) << "frame " << 40 + i << " across the wrap";
}

TEST(Mixer, MixingPassDoesNotAllocate)
{
    Mixer mixer(Mixer::Output::Manual);
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < 8; ++i) {
        voices.push_back(std::make_unique<Voice>(48000, 48000));
        mixer.Add(voices.back().get());
        voices.back()->SetPlaying(true);
    }
    std::atomic<bool> stop{false};
    std::thread producer([&] {
        const auto chunk = Constant(0.01f, 256);
        while (!stop.load()) {
            for (auto& v : voices) v->Write(chunk.data(), 256);
            std::this_thread::yield();
        }
    });
    std::vector<float> out(2 * Mixer::kMaxMixFrames * 2);
    testing_alloc::BeginCounting();
    for (int pass = 0; pass < 200; ++pass) mixer.Mix(out.data(), pass % 2 ? 512 : Mixer::kMaxMixFrames * 2);
    const int allocations = testing_alloc::EndCounting();
    stop = true;
    producer.join();
    EXPECT_EQ(allocations, 0) << "the output's mixing pass must not allocate";
    testing_alloc::BeginCounting();
    std::vector<int> probe(16);
    EXPECT_EQ(testing_alloc::EndCounting(), 1) << "the counter itself sees allocations";
}

TEST(Mixer, WithoutSoundCardOutputStillConsumesInRealTime)
{
    // Run with SDL_AUDIODRIVER=dummy (as the test command does): the default output is paced.
    Mixer& mixer = Mixer::Default();
    ASSERT_NE(mixer.GetOutput(), Mixer::Output::Manual);
    const std::uint64_t before = mixer.MixedFrames();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double mixed = static_cast<double>(mixer.MixedFrames() - before) / mixer.SampleRate();
    EXPECT_NEAR(mixed, seconds, 0.05) << "the output takes samples at the real rate";
}

}  // namespace
