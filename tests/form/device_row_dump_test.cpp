// The device list's row dump for end-to-end tests: the file's content and its escaping.
#include "DeviceDrmListActivity/device_row_dump.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "orvan_test/fake_window.h"

namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(DeviceRowDumpTest, WritesStateAndRowsWithTabsAndLineBreaksEscaped) {
    const auto dir = std::filesystem::temp_directory_path() / ("orvan_dump_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "rows";

    orvan::fake::FakeWindow window;
    auto list = window.CreateListControl(1, 0, 0, 10, 10);
    list->InsertItem(0, L"M1");
    list->SetItemText(0, 1, L"AA:BB");
    list->SetItemText(0, 3, L"a\tb\nc\\d \u00E9");
    list->InsertItem(1, L"M2");

    ORVAN_UXClass::DeviceRowDump(path.string()).Write(list.get(), 5, {2, 1234, 1, true});
    const std::string text = Slurp(path);
    EXPECT_EQ(text.rfind("written-unix-us ", 0), 0u) << text;
    EXPECT_NE(text.find("\nscans 2\nscanned-unix-us 1234\nselected 1\nweb-gui enabled\nrows 2\n"
                        "M1\tAA:BB\t\ta\\tb\\nc\\\\d \xC3\xA9\t\n"
                        "M2\t\t\t\t\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "a partial file was left";
#ifndef _WIN32  // Windows keeps access lists, not mode bits: the file gets its folder's
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
#endif

    ORVAN_UXClass::DeviceRowDump(path.string()).Write(nullptr, 5, {});
    EXPECT_NE(Slurp(path).find("selected -1\nweb-gui disabled\nrows 0\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(DeviceRowDumpTest, LinksPlantedBesideTheDumpAreNeverFollowed) {
#ifdef _WIN32
    GTEST_SKIP() << "planting a link takes a privilege on Windows (and Wine makes none)";
#endif
    const auto dir = std::filesystem::temp_directory_path() / ("orvan_dump_link_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto victim = dir / "victim";
    std::ofstream(victim) << "precious";
    const auto path = dir / "rows";
    std::filesystem::create_symlink(victim, path);
    // Where earlier versions wrote first: a name anyone could guess and plant a link at.
    std::filesystem::create_symlink(victim, path.string() + ".partial");

    ORVAN_UXClass::DeviceRowDump(path.string()).Write(nullptr, 5, {});
    EXPECT_EQ(Slurp(victim), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_NE(Slurp(path).find("rows 0\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
