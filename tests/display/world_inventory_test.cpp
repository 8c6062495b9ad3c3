// WorldInventory: the centred row of held items, strict hit bounds, where a put-back item
// goes, insertion without duplicates, and the bar's fading with the hover jump.
#include "display/world_inventory.h"

#include "screen_space_fixture.h"

namespace screen_space {
namespace {

class WorldInventoryTest : public GameDeviceTest {
protected:
    void SetUp() override
    {
        GameDeviceTest::SetUp();
        // One scrambling offset serves all of an item's images.
        const std::string cursor = WriteSolid("cursor.enc", 16, 16, kWhite, 33);
        const std::uint32_t colours[] = {kRed, kGreen, kBlue, kYellow};
        for (int n = 1; n <= 4; ++n) {
            const std::string picture = WriteSolid("item" + std::to_string(n) + ".enc", 16, 16, colours[n - 1], 33);
            inventory.AddItem(n, picture.c_str(), cursor.c_str(), cursor.c_str(), cursor.c_str(), cursor.c_str(),
                              L"data/item.wav", 16, 16, 3, 3, 33, 10001 + (n - 1) * 1000);
        }
    }
    std::vector<int> Held() const
    {
        std::vector<int> numbers;
        for (const WorldItem* item : inventory.get_ActiveItems()) numbers.push_back(item->get_Number());
        return numbers;
    }
    void Hold(std::initializer_list<int> numbers)
    {
        for (int n : numbers) inventory.ActivateItem(n);
    }
    WorldInventory inventory;
};

TEST_F(WorldInventoryTest, HeldItemsAreDrawnCentredAHundredPixelsApart)
{
    Hold({1, 2, 3});
    const Frame frame = DrawFrame([&] { EXPECT_FALSE(inventory.Render()); }, kBlack, "inventory_three");
    EXPECT_TRUE(RegionRgb(frame, RECT{262, 512, 337, 587}, Mix(kRed, kBlack, 0.25f)));
    EXPECT_TRUE(RegionRgb(frame, RECT{362, 512, 437, 587}, Mix(kGreen, kBlack, 0.25f)));
    EXPECT_TRUE(RegionRgb(frame, RECT{462, 512, 537, 587}, Mix(kBlue, kBlack, 0.25f)));
    EXPECT_TRUE(RegionRgb(frame, RECT{337, 0, 362, 600}, kBlack)) << "25-pixel gap";
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 0, 800, 512}, kBlack));
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 587, 800, 600}, kBlack));
    EXPECT_EQ(WorldInventory::SlotLeft(1, 0), 362);
}

TEST_F(WorldInventoryTest, ItemsAreHitStrictlyInsideTheirSlots)
{
    Hold({1, 2, 3});
    for (int x : {262, 337, 350, 537}) EXPECT_EQ(inventory.RClick(x), 0) << "x " << x;
    EXPECT_EQ(inventory.RClick(263), 1);
    EXPECT_EQ(inventory.RClick(336), 1);
    EXPECT_EQ(inventory.RClick(363), 2);
    EXPECT_EQ(inventory.Click(400), 2) << "picked up";
    EXPECT_EQ(Held(), (std::vector<int>{1, 3}));
    EXPECT_EQ(inventory.RClick(413), 3) << "the row closes up around x 412";
}

TEST_F(WorldInventoryTest, PutBackAndInsertionRules)
{
    Hold({1, 2, 3});
    inventory.Click(100, inventory.Click(300));
    EXPECT_EQ(Held(), (std::vector<int>{1, 2, 3})) << "left of every slot: first";
    inventory.Click(500, inventory.Click(300));
    EXPECT_EQ(Held(), (std::vector<int>{2, 3, 1})) << "right of every left edge: last";
    inventory.Click(362, 4);  // left edges 262, 362, 462: before the one at 462
    EXPECT_EQ(Held(), (std::vector<int>{2, 3, 4, 1}));

    inventory.ActivateItem(2);
    inventory.Click(800, 3);
    inventory.InsertActiveItem(9, 0);
    EXPECT_EQ(Held(), (std::vector<int>{2, 3, 4, 1})) << "no duplicates, no unknown items";
    EXPECT_EQ(inventory.GetItem(9), nullptr);
    EXPECT_EQ(inventory.GetItem(3)->get_Screen(), 12001);
    EXPECT_EQ(inventory.getActiveItemBN(4), nullptr);
}

TEST_F(WorldInventoryTest, BarFadesWithinLimitsAndJumpsWhenAnItemIsHovered)
{
    Hold({1, 2, 3});
    inventory.Render();
    EXPECT_FLOAT_EQ(inventory.get_SemiTransparent(), 0.25f) << "from 0 straight to the lower limit";
    for (int i = 0; i < 5; ++i) inventory.Render(100);
    EXPECT_NEAR(inventory.get_SemiTransparent(), 0.35f, 1e-5f);
    for (int i = 0; i < 20; ++i) inventory.Render(100);
    EXPECT_FLOAT_EQ(inventory.get_SemiTransparent(), 0.65f);
    for (int i = 0; i < 30; ++i) inventory.Render();
    EXPECT_FLOAT_EQ(inventory.get_SemiTransparent(), 0.25f);

    const Frame frame = DrawFrame([&] { EXPECT_TRUE(inventory.Render(400)); }, kBlack, "inventory_hover");
    EXPECT_FLOAT_EQ(inventory.get_SemiTransparent(), 0.65f);
    EXPECT_TRUE(PixelRgb(frame, 400, 550, kGreen)) << "hovered item opaque";
    EXPECT_TRUE(PixelRgb(frame, 300, 550, Mix(kRed, kBlack, 0.65f))) << "the whole bar at 0.65 in the same frame";
    EXPECT_TRUE(PixelRgb(frame, 500, 550, Mix(kBlue, kBlack, 0.65f)));
}

}  // namespace
}  // namespace screen_space
