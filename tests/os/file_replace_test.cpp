// Replacing a file whole: the new bytes under the old name, nothing left beside it, the mode asked
// for (less the umask), and an error number when the folder is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "liborvaniot_os/liborvaniot_os_file.h"

namespace {

namespace fs = std::filesystem;

class FileReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvan_file_replace_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    fs::path dir_;
};

TEST_F(FileReplaceTest, TheNewTextReplacesTheOldOneAndNothingIsLeftBeside) {
    const fs::path path = dir_ / "devices.prom";
    std::ofstream(path) << "old text that is longer than the new one";
    const std::string text(300000, 'x');
    EXPECT_EQ(liborvaniot_os_file_replace(path.string().c_str(), text.data(), text.size(), 0600), 0);
    EXPECT_EQ(Read(path), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "a partial file was left";

    EXPECT_NE(liborvaniot_os_file_replace((dir_ / "none" / "x").string().c_str(), "x", 1, 0600), 0) << "a missing folder";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

#ifndef _WIN32
// The row dump is for its owner only; a metrics file must be readable by the collector's user.
TEST_F(FileReplaceTest, TheFileGetsTheModeAskedForLessTheUmask) {
    const struct {
        const char* what;
        uint32_t mode;
        fs::perms expected;
    } cases[] = {
        {"owner only", 0600, fs::perms(0600)},
        {"readable by others", 0666, fs::perms(0644)},
        {"no special bits", 04777, fs::perms(0755)},
    };
    const mode_t saved = ::umask(022);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = dir_ / c.what;
        ASSERT_EQ(liborvaniot_os_file_replace(path.string().c_str(), "x", 1, c.mode), 0);
        EXPECT_EQ(fs::status(path).permissions(), c.expected);
    }
    ::umask(saved);
}
#endif

}  // namespace
