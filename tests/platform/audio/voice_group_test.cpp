// The player's two volumes: every voice follows its group's gain in the mix.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/audio_mixer.h"

namespace {

using platform::Mixer;
using platform::Voice;
using platform::VoiceGroup;

TEST(VoiceGroups, EachGroupGainScalesOnlyItsOwnVoices)
{
    Mixer mixer(Mixer::Output::Manual);
    Voice music(48000, 1000), effect(48000, 1000);
    music.SetGroup(VoiceGroup::Music);
    mixer.Add(&music);
    mixer.Add(&effect);
    music.SetPlaying(true);
    effect.SetPlaying(true);
    const auto feed = [&] {
        const std::vector<float> quarter(20, 0.25f), half(20, 0.5f);
        music.Write(quarter.data(), 10);
        effect.Write(half.data(), 10);
    };
    std::vector<float> out(20);
    feed();
    mixer.Mix(out.data(), 10);
    EXPECT_FLOAT_EQ(out[0], 0.75f) << "both groups at full gain: the voices as written";

    mixer.SetGroupGain(VoiceGroup::Music, 0.0f);
    feed();
    mixer.Mix(out.data(), 10);
    EXPECT_FLOAT_EQ(out[0], 0.5f) << "music silenced, the effect as it was";

    mixer.SetGroupGain(VoiceGroup::Music, 1.0f);
    mixer.SetGroupGain(VoiceGroup::Effects, 0.5f);
    feed();
    mixer.Mix(out.data(), 10);
    EXPECT_FLOAT_EQ(out[19], 0.5f) << "music 0.25 and half of the effect's 0.5";
    EXPECT_FLOAT_EQ(mixer.GroupGain(VoiceGroup::Effects), 0.5f);
    mixer.Remove(&music);
    mixer.Remove(&effect);
}

}  // namespace
