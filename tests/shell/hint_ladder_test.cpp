// The hint ladder on a small world of goals: the first open goal is hinted at, one step further
// each time it is asked for, staying on the answer; a goal done closes its hints and the next
// one opens; with none open the idle line. The world files refuse a goal with fewer than three
// hints or a hint without its text.
#include "shell/hint_ladder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "script/world_files.h"
#include "world/world_fixture.h"

namespace {

using world_test::WorldTest;

constexpr const char* kTexts = R"po(
msgctxt "hint.door.1"
msgid "The door is locked; somebody had a key."
msgstr ""

msgctxt "hint.door.2"
msgid "The gardener kept his keys in the shed."
msgstr ""

msgctxt "hint.door.3"
msgid "Take the key from the shed's hook and use it on the door."
msgstr ""

msgctxt "hint.lamp.1"
msgid "It is dark beyond the door."
msgstr ""

msgctxt "hint.lamp.2"
msgid "A lamp hangs in the hall."
msgstr ""

msgctxt "hint.lamp.3"
msgid "Take the hall's lamp before you go down."
msgstr ""

msgctxt "hint.idle"
msgid "Nothing presses just now."
msgstr ""
)po";

constexpr const char* kWorld = R"lua(
variable("door_locked", 1)
variable("lamp_taken", 0)
screen{name = "hall", number = 0, image = "@LOGO@"}
goal{name = "door", open = "door_locked = 1", done = "door_locked = 0",
     hints = {"hint.door.1", "hint.door.2", "hint.door.3"}}
goal{name = "lamp", open = "door_locked = 0", done = "lamp_taken = 1",
     hints = {"hint.lamp.1", "hint.lamp.2", "hint.lamp.3"}}
idle_hint("hint.idle")
)lua";

class HintLadderTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        std::filesystem::create_directories(c_dir / "world");
        std::filesystem::create_directories(c_dir / "po");
        std::ofstream(c_dir / "po" / "kelvane.pot") << kTexts;
        texts = TextCatalogue::Load(c_dir / "po", {});
        c_logo = Solid("logo.png", 16, 8, world_test::kRed);
    }
    std::unique_ptr<WorldFiles> Load(std::string text)
    {
        for (std::size_t at; (at = text.find("@LOGO@")) != std::string::npos;) text.replace(at, 6, c_logo);
        std::ofstream(c_dir / "world" / "main.lua", std::ios::trunc) << text;
        fresh = NewWorld();
        return WorldFiles::Load(*fresh, nullptr, c_dir / "world", texts);
    }
    std::string Failure(const std::string& text)
    {
        try {
            Load(text);
        } catch (const Error& e) {
            return e.what();
        }
        ADD_FAILURE() << "the world loaded";
        return {};
    }

    TextCatalogue texts;
    std::string c_logo;
    std::unique_ptr<WorldManager> fresh;
};

}  // namespace

TEST_F(HintLadderTest, TheFirstOpenGoalIsHintedAtOneStepFurtherEachTimeUntilItIsDone)
{
    const std::unique_ptr<WorldFiles> files = Load(kWorld);
    ASSERT_EQ(files->get_Goals().size(), 2u);
    HintLadder ladder(*files);
    const int doorLocked = files->get_Variables().at("door_locked");
    const int lampTaken = files->get_Variables().at("lamp_taken");

    HintLadder::Hint hint = ladder.Ask(*fresh);
    EXPECT_EQ(hint.goal, 0);
    EXPECT_EQ(hint.step, 0);
    EXPECT_EQ(hint.text, "The door is locked; somebody had a key.");
    EXPECT_EQ(ladder.Ask(*fresh).text, "The gardener kept his keys in the shed.");
    EXPECT_EQ(ladder.Ask(*fresh).text, "Take the key from the shed's hook and use it on the door.");
    hint = ladder.Ask(*fresh);
    EXPECT_EQ(hint.step, 2) << "the answer stays the answer";
    EXPECT_EQ(ladder.get_Given(0), 3);

    // The door opened: its hints close and the lamp's begin at their first.
    fresh->setGlobalVarValue(doorLocked, 0);
    hint = ladder.Ask(*fresh);
    EXPECT_EQ(hint.goal, 1);
    EXPECT_EQ(hint.text, "It is dark beyond the door.");
    EXPECT_EQ(ladder.get_Given(1), 1);

    // Nothing open: the idle line; shown as the world's caption, and gone after its time.
    fresh->setGlobalVarValue(lampTaken, 1);
    hint = ladder.AskAndShow(*fresh);
    EXPECT_EQ(hint.goal, -1);
    EXPECT_STREQ(fresh->get_Caption(), "Nothing presses just now.");
    platform::AdvanceClock(HintLadder::ShowFor(hint.text.size()) + 1);
    EXPECT_STREQ(fresh->get_Caption(), "");
    EXPECT_GE(HintLadder::ShowFor(80), 5000u) << "a long hint stays long enough to read";
}

TEST_F(HintLadderTest, AGoalNeedsThreeHintsWithTheirTextsAndReadableConditions)
{
    const std::string two = R"lua(
variable("door_locked", 1)
screen{name = "hall", number = 0, image = "@LOGO@"}
goal{name = "door", open = "door_locked = 1", done = "door_locked = 0", hints = {"hint.door.1", "hint.door.2"}}
)lua";
    EXPECT_NE(Failure(two).find("main.lua:4:"), std::string::npos);
    EXPECT_NE(Failure(two).find("goal 'door' has 2 hints; a goal needs three or more"), std::string::npos);

    const std::string missing = R"lua(
variable("door_locked", 1)
screen{name = "hall", number = 0, image = "@LOGO@"}
goal{name = "door", open = "door_locked = 1", done = "door_locked = 0",
     hints = {"hint.door.1", "hint.door.2", "hint.door.9"}}
)lua";
    EXPECT_NE(Failure(missing).find("no text with the identifier 'hint.door.9'"), std::string::npos) << Failure(missing);

    const std::string badCondition = R"lua(
variable("door_locked", 1)
screen{name = "hall", number = 0, image = "@LOGO@"}
goal{name = "door", open = "door_lokced = 1", done = "door_locked = 0",
     hints = {"hint.door.1", "hint.door.2", "hint.door.3"}}
)lua";
    EXPECT_NE(Failure(badCondition).find("door_lokced"), std::string::npos) << Failure(badCondition);
    const std::string twice = std::string(kWorld) + R"lua(goal{name = "door", open = "door_locked = 1",
     done = "door_locked = 0", hints = {"hint.door.1", "hint.door.2", "hint.door.3"}}
)lua";
    EXPECT_NE(Failure(twice).find("a goal named 'door' is declared twice"), std::string::npos) << Failure(twice);
}

// A save keeps how far each goal's hints went; a save of another world, or of none, starts
// them afresh, and garbled text changes nothing.
TEST_F(HintLadderTest, TheHintsGivenTravelWithASaveAndTheGoalsDoneAreCounted)
{
    const std::unique_ptr<WorldFiles> files = Load(kWorld);
    HintLadder ladder(*files);
    EXPECT_EQ(ladder.DoneCount(*fresh), 0);
    ladder.Ask(*fresh);
    ladder.Ask(*fresh);
    EXPECT_EQ(ladder.Serialize(), "door=2");

    HintLadder restored(*files);
    std::string why;
    ASSERT_TRUE(restored.Restore("door=2 lamp=9 gone=1", &why)) << why;
    EXPECT_EQ(restored.get_Given(0), 2);
    EXPECT_EQ(restored.get_Given(1), 3) << "no more given than the goal has";
    EXPECT_EQ(restored.Ask(*fresh).text, "Take the key from the shed's hook and use it on the door.");

    for (const char* bad : {"door", "=2", "door=x", "door=-1", "door=2x"}) {
        EXPECT_FALSE(restored.Restore(bad, &why)) << bad;
        EXPECT_EQ(restored.get_Given(0), 3) << "unchanged by " << bad;
    }
    ASSERT_TRUE(restored.Restore("", &why));
    EXPECT_EQ(restored.get_Given(0), 0);

    fresh->setGlobalVarValue(files->get_Variables().at("door_locked"), 0);
    EXPECT_EQ(ladder.DoneCount(*fresh), 1);
}
