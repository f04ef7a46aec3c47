// "Scan addresses...": the targets every Scan also probes one by one (devices behind a router),
// asked for in the list's menu, checked before anything is kept, and kept in the user's file for
// the next screen and the next run.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DeviceDrmListActivity/device_scan_targets.h"
#include "device_list_fixture.h"
#include "liborvaniot_os/liborvaniot_os.h"

namespace form_test {
namespace {

using ORVAN_UXClass::kMenuScanAddresses;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ScanTargetsTest : public DeviceListTest {
  protected:
    ScanTargetsTest() {
        EXPECT_EQ(liborvaniot_os_initialize(), 0);  // for the log lines
        folder_ = fs::temp_directory_path() / ("orvan_scan_targets_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        fs::remove_all(folder_);
        probe_.offersScanTargets = true;
        probe_.scanTargetsPath = (folder_ / "orvan-finder" / "scan-targets").string();
    }
    ~ScanTargetsTest() override {
        Close();
        fs::remove_all(folder_);
        liborvaniot_os_finalize();
    }
    std::vector<std::wstring> MenuTexts() const {
        std::vector<std::wstring> texts;
        const auto menus = window_.PopupMenus();
        if (menus.empty()) return texts;
        for (const auto& item : menus.back()) texts.push_back(item.text);
        return texts;
    }

    fs::path folder_;
};

TEST_F(ScanTargetsTest, TakenTargetsAreKeptProbedByEveryScanAndOfferedAgain) {
    Open();
    EXPECT_THAT(probe_.scanTargetsSet, IsEmpty()) << "nothing kept yet";
    window_.SetPopupMenuChoice(kMenuScanAddresses);
    window_.SetPromptAnswers({L"10.2.0.0/24 router.example", L"10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60"});
    Screen().OnListRightClick(-1, {300, 300});  // the list is empty
    EXPECT_THAT(MenuTexts(), ElementsAre(L"Scan addresses..."));
    ASSERT_EQ(window_.Prompts().size(), 1u);
    EXPECT_EQ(window_.Prompts()[0].text, L"");
    EXPECT_THAT(window_.PromptErrors(), ElementsAre(L"not an address, network or range: router.example"))
        << "the dialog said what was wrong and stayed";
    EXPECT_THAT(probe_.scanTargetsSet, ElementsAre("10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60"));
    EXPECT_EQ(Read(probe_.scanTargetsPath), "10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60\n");
    EXPECT_EQ(probe_.scans, 1) << "taking the targets scans at once";

    // On a row the item comes last, and the dialog opens with what was kept; Cancel changes nothing.
    Show("10.3.0.7", "ROUTED");
    window_.SetPromptAnswers({std::nullopt});
    Screen().OnListRightClick(0, {300, 100});
    EXPECT_EQ(MenuTexts().back(), L"Scan addresses...");
    EXPECT_EQ(window_.Prompts().back().text, L"10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60");
    EXPECT_EQ(probe_.scanTargetsSet.size(), 1u);
    EXPECT_EQ(probe_.scans, 1);

    // The next visit, or the next run, probes them from the start.
    Close();
    probe_.scanTargetsSet.clear();
    Open();
    EXPECT_THAT(probe_.scanTargetsSet, ElementsAre("10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60"));
}

TEST_F(ScanTargetsTest, ABadTargetIsNeitherKeptNorProbed) {
    Open();
    window_.SetPopupMenuChoice(kMenuScanAddresses);
    window_.SetPromptAnswers({L"10.0.0.1;rm", std::nullopt});
    Screen().OnListRightClick(-1, {300, 300});
    EXPECT_EQ(window_.PromptErrors().size(), 1u);
    EXPECT_THAT(probe_.scanTargetsSet, IsEmpty());
    EXPECT_FALSE(fs::exists(probe_.scanTargetsPath));
    EXPECT_EQ(probe_.scans, 0);
}

TEST_F(ScanTargetsTest, AFileThatCannotBeReadOrIsNoListOfTargetsProbesNothingAndSaysWhyOnce) {
    const struct {
        const char* what;
        std::string content;  // empty: the path is a folder
        const char* logged;
    } cases[] = {
        {"missing", "-", "not read"},
        {"a folder", "", "not read"},
        {"edited into no list of targets", "10.0.0.1 printer\n", "saved scan targets ignored: not an address"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder_);
        if (c.content.empty()) {
            fs::create_directories(probe_.scanTargetsPath);
        } else if (c.content != "-") {
            fs::create_directories(fs::path(probe_.scanTargetsPath).parent_path());
            std::ofstream(probe_.scanTargetsPath) << c.content;
        }
        probe_.scanTargetsSet.clear();
        testing::internal::CaptureStderr();
        Open();
        const std::string log = testing::internal::GetCapturedStderr();
        Close();
        EXPECT_THAT(probe_.scanTargetsSet, IsEmpty());
        size_t lines = 0;
        for (size_t at = log.find(c.logged); at != std::string::npos; at = log.find(c.logged, at + 1)) ++lines;
        EXPECT_EQ(lines, 1u) << log;
    }
}

TEST_F(ScanTargetsTest, WithoutSingleAddressProbesTheListOffersNoScanAddresses) {
    probe_.offersScanTargets = false;
    Open();
    Show("10.0.0.1", "M");
    window_.SetPopupMenuChoice(0);
    Screen().OnListRightClick(0, {300, 100});
    EXPECT_THAT(MenuTexts(), ElementsAre(L"Open Web GUI", L"Copy IP address", L"Copy MAC address", L"Copy row"));
    const size_t menus = window_.PopupMenus().size();
    Screen().OnListRightClick(-1, {300, 300});
    EXPECT_EQ(window_.PopupMenus().size(), menus) << "no menu below the rows";
}

TEST(ScanTargetsFile, SavedTargetsReadBackAndAFileThatCannotBeWrittenIsReported) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    const fs::path folder = fs::temp_directory_path() / "orvan_scan_targets_file";
    fs::remove_all(folder);
    const ORVAN_UXClass::ScanTargetsFile file((folder / "orvan-finder" / "scan-targets").string());
    EXPECT_TRUE(file.Save("10.2.0.0/24"));
    EXPECT_EQ(file.Load(), "10.2.0.0/24");
    EXPECT_TRUE(file.Save(""));
    EXPECT_EQ(file.Load(), "");
    // A plain file where the folder should be.
    std::ofstream(folder / "blocker") << "x";
    const ORVAN_UXClass::ScanTargetsFile blocked((folder / "blocker" / "scan-targets").string());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(blocked.Save("10.2.0.0/24"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("scan targets not saved"), std::string::npos);
    fs::remove_all(folder);
    liborvaniot_os_finalize();
}

}  // namespace
}  // namespace form_test
