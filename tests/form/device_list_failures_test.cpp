// The device list when its own resources or the desktop let it down: no list lock, a browser that
// does not start.
#include <future>
#include <string>
#include <vector>

#include "device_list_fixture.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"

namespace form_test {
namespace {

// Takes every free slot of the lock table for as long as it lives.
class AllLocksTaken {
  public:
    AllLocksTaken() : locks_(LIBORVANIOT_OS_MUTEX_SLOTS) {
        for (struct_plock& lock : locks_) {
            if (liborvaniot_os_mutex_struct_plock_init(&lock, "AllLocksTaken", __LINE__) != 0) break;
            ++taken_;
        }
    }
    ~AllLocksTaken() {
        for (size_t i = 0; i < taken_; ++i) liborvaniot_os_mutex_struct_plock_free(&locks_[i], "~AllLocksTaken", __LINE__);
    }
    AllLocksTaken(const AllLocksTaken&) = delete;
    AllLocksTaken& operator=(const AllLocksTaken&) = delete;

  private:
    std::vector<struct_plock> locks_;
    size_t taken_ = 0;
};

TEST_F(DeviceListTest, WithoutItsListLockTheScreenStartsNoListenerAndStillCloses) {
    {
        AllLocksTaken full;
        Open();
    }
    EXPECT_EQ(probe_.starts, 0) << "reports could not be taken safely";
    ClickScan();
    EXPECT_EQ(probe_.scans, 0);
    Close();
    EXPECT_EQ(probe_.callback.load(), nullptr);
}

TEST_F(DeviceListTest, TheBrowserStartsOutsideTheListLockAndAFailedStartIsLogged) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);  // for the log line
    Open();
    Show("198.18.1.10", "SLV-IPC4210");
    ClickRow(0);
    bool reportTaken = false;
    window_.SetUrlHandler([&](const std::string&) {
        // A report needs the list lock; it must not wait for the browser.
        auto report = std::async(std::launch::async,
                                 [&] { probe_.Deliver(*Record("198.18.1.11", {Scope("hardware", "B")})); });
        reportTaken = report.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        return false;
    });
    testing::internal::CaptureStderr();
    ClickWebGui();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reportTaken);
    EXPECT_NE(log.find("ORVAN_UXClass::DeviceDrmListActivity::buttonOpenUrl_OnClick open https://198.18.1.10,error "
                       "!!\n"),
              std::string::npos)
        << log;
    Close();
    liborvaniot_os_finalize();
}

}  // namespace
}  // namespace form_test
