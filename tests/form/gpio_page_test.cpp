// The GPIO page: the pins' boxes as the record holds them, CLR and SET as one-shot commands, and
// Prev.
#include "GpioPage/RpiGpioActivity.h"
#include "management_screen_fixture.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;
using ::testing::ElementsAre;

class GpioPageTest : public ManagementScreenTest {
  protected:
    // Top left of pin p's CLR (0) or SET (1) box: four columns of eight, 200 pixels apart.
    static orvan::wnd::Point BoxOf(int32_t pin, int32_t value) {
        return {10 + (pin / 8) * 200 + (value == 1 ? 120 : 60), 100 + (pin % 8) * 30};
    }
};

TEST_F(GpioPageTest, BoxesShowEachPinsStateAndUnknownPinsAreToBeCleared) {
    for (int32_t& state : Record().gpio_state) state = -1;
    Record().gpio_state[3] = 0;
    Record().gpio_state[12] = 1;
    Record().gpio_state[20] = 7;
    auto* page = OpenAs<RpiGpioActivity>(701);
    ASSERT_NE(page, nullptr);
    struct Case {
        int32_t pin;
        bool clr;
        bool set;
        int32_t toSet;
    };
    for (const Case c : {Case{3, true, false, 0}, Case{12, false, true, 1}, Case{20, false, false, 0},
                         Case{0, false, false, 0}}) {
        SCOPED_TRACE(c.pin);
        EXPECT_EQ(page->clrRadios[c.pin]->checked, c.clr);
        EXPECT_EQ(page->setRadios[c.pin]->checked, c.set);
        EXPECT_EQ(Record().gpio_state_set[c.pin], c.toSet);
        EXPECT_EQ(page->gpioLabels[c.pin]->text, L"GPIO " + std::to_wstring(c.pin));
    }
    EXPECT_EQ(page->title->text, L"GPIO Setting");
    EXPECT_EQ(page->title->rect, (ORVAN_UXRect{134, 63, 100, 16}));
}

TEST_F(GpioPageTest, AChoiceBecomesAOneShotCommandForTheSettingsWrite) {
    struct Case {
        int32_t pin;
        int32_t value;  // 0 CLR, 1 SET
        int32_t code;
    };
    const Case cases[] = {{31, 1, 1031}, {0, 0, 1000}, {8, 1, 1008}, {13, 0, 1013}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pin);
        StartAfresh();
        Record().gpio_state[c.pin] = 1 - c.value;  // the other box starts checked
        auto* page = OpenAs<RpiGpioActivity>(701);
        ASSERT_NE(page, nullptr);
        const orvan::wnd::Point box = BoxOf(c.pin, c.value);
        const orvan::wnd::Point other = BoxOf(c.pin, 1 - c.value);
        Click(box.x + 5, box.y + 5);
        Click(other.x + 5, other.y + 5);  // too late: the page is already leaving
        EXPECT_EQ((c.value == 1 ? page->setRadios : page->clrRadios)[c.pin]->checked, true);
        EXPECT_EQ((c.value == 1 ? page->clrRadios : page->setRadios)[c.pin]->checked, false);
        EXPECT_EQ(Record().command_code, c.code);
        EXPECT_EQ(Record().command_arg, c.value);
        EXPECT_EQ(Record().page_id, 701);
        EXPECT_EQ(Delegate().pending_activity_id, 701);
        EXPECT_THAT(RequestedIds(), ElementsAre(1010));
        EXPECT_EQ(LastRequester(), RequesterParam(page));
    }
}

TEST_F(GpioPageTest, PrevDropsTheConnectionAndReturnsToTheStartScreen) {
    // Prev used to mark the page as leaving and ask for nothing: the button did nothing, and as
    // the page was marked leaving, the connection then outlived it.
    Delegate().home_activity_id = 1001;
    OpenConnection();
    auto* page = OpenAs<RpiGpioActivity>(701);
    ASSERT_NE(page, nullptr);
    Click(20, 20);
    EXPECT_THAT(RequestedIds(), ElementsAre(1001));
    EXPECT_FALSE(ConnectionOpen());
    const orvan::wnd::Point set = BoxOf(5, 1);
    Click(set.x + 5, set.y + 5);
    EXPECT_THAT(RequestedIds(), ElementsAre(1001)) << "nothing more once the page is leaving";
    EXPECT_NE(Record().command_code, 1005);
}

}  // namespace
}  // namespace form_test
