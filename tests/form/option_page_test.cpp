// The option pages' OK, Prev and Cancel: what each leaves in the navigator and the record, and
// that a page asks for one screen only.
#include <cstring>

#include "OptionPage/OptionPage.h"
#include "management_screen_fixture.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;
using ::testing::ElementsAre;

class OptionPageTest : public ManagementScreenTest {
  protected:
    static constexpr int32_t kUntouched = -77;
    OptionPageTest() { Reset(); }
    // Values nothing has written yet, and no request.
    void Reset() {
        StartAfresh();
        Delegate().return_activity_id = kUntouched;
        Delegate().pending_activity_id = kUntouched;
        Record().page_id = kUntouched;
        Record().face_slot = kUntouched;
        std::strcpy(Record().face_name, "before");
    }
    static constexpr orvan::wnd::Point kCancel{140, 225};
    static constexpr orvan::wnd::Point kOk{255, 225};
    static constexpr orvan::wnd::Point kNetworkOk{255, 285};
};

TEST_F(OptionPageTest, OkHandsThePageToTheSettingsWriteWithItsFamilyMenuToReturnTo) {
    struct Case {
        int32_t id;
        int32_t menu;
        bool storesFace;
    };
    const Case cases[] = {
        {204, 1008, false},                      // CmsIPBox account
        {100, 1006, false},                      // the first page
        {311, 1007, false},                      // IPBoxIPCamera firmware update
        {110, 1006, true},                       // face detection stores the placeholder face
        {310, 1007, true},  {109, 1006, false},  // face-detection mode does not
        {205, 1008, false},                      // a network page: OK two rows lower
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Reset();
        auto* page = OpenAs<OptionPage>(c.id);
        ASSERT_NE(page, nullptr);
        const orvan::wnd::Point ok = c.id % 100 == 5 ? kNetworkOk : kOk;
        Click(ok.x, ok.y);
        EXPECT_THAT(RequestedIds(), ElementsAre(1010));
        EXPECT_EQ(page->leaving, 1);
        EXPECT_EQ(Record().page_id, c.id);
        EXPECT_EQ(Delegate().return_activity_id, c.menu);
        EXPECT_EQ(Delegate().pending_activity_id, c.menu);
        EXPECT_EQ(Record().face_slot, c.storesFace ? 0 : kUntouched);
        EXPECT_EQ(std::strcmp(Record().face_name, c.storesFace ? kFaceDetectPlaceholderName : "before"), 0);
    }
}

TEST_F(OptionPageTest, CancelDoesWhatPrevDoesAndNetworkPagesHaveNone) {
    for (const int32_t id : {101, 207, 310}) {
        SCOPED_TRACE(id);
        Reset();
        ASSERT_NE(Open(id), nullptr);
        Click(kCancel.x, kCancel.y);
        EXPECT_THAT(RequestedIds(), ElementsAre(id < 200 ? 1006 : id < 300 ? 1008 : 1007));
        EXPECT_EQ(Record().page_id, kUntouched) << "going back writes nothing";
        EXPECT_EQ(Delegate().pending_activity_id, kUntouched);
    }
    Reset();
    auto* network = OpenAs<OptionPage>(105);
    ASSERT_NE(network, nullptr);
    EXPECT_FALSE(network->cancelButton);
    Click(kCancel.x, kCancel.y);
    EXPECT_TRUE(RequestedIds().empty());
}

TEST_F(OptionPageTest, ASecondButtonBeforeTheScreenChangesChangesNothing) {
    // Cancel, then OK before the first request is handled: the page is on its way back to the
    // menu, so OK must neither write the page nor ask for the settings write.
    auto* page = OpenAs<OptionPage>(203);
    ASSERT_NE(page, nullptr);
    Click(kCancel.x, kCancel.y);
    Click(kOk.x, kOk.y);
    EXPECT_THAT(RequestedIds(), ElementsAre(1008));
    EXPECT_EQ(Record().page_id, kUntouched);
    EXPECT_EQ(Delegate().pending_activity_id, kUntouched);
}

TEST_F(OptionPageTest, OnlyALeaveFromElsewhereDropsTheConnection) {
    struct Case {
        const char* what;
        orvan::wnd::Point click;  // {0, 0}: no click, another screen is asked for
        bool dropped;
    };
    const Case cases[] = {
        {"OK", kOk, false},
        {"Cancel", kCancel, false},
        {"Prev", {20, 20}, false},
        {"a request from elsewhere", {0, 0}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        OpenConnection();
        ASSERT_NE(Open(102), nullptr);
        if (c.click.x != 0) {
            Click(c.click.x, c.click.y);
            Pump();
        } else {
            Delegate().navigate(kNoRequester, 1001);
        }
        EXPECT_EQ(ConnectionOpen(), !c.dropped);
    }
}

}  // namespace
}  // namespace form_test
