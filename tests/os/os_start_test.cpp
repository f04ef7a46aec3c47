// Starting the platform runtime from current directories a user can end up in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "liborvaniot_os/liborvaniot_os.h"

namespace {

TEST(PlatformStart, StartsInADirectoryWhoseNameIsNoTextOrThatWasRemoved) {
    const std::string previous_locale = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    const int home = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(home, 0);
    char base[] = "/tmp/orvan-start-XXXXXX";
    ASSERT_NE(mkdtemp(base), nullptr);

    const struct {
        const char* what;
        std::string name;
        bool removed;
    } cases[] = {
        {"a Latin-1 name under a UTF-8 locale", "caf\xE9", false},
        {"a directory removed after the program went into it", "gone", true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const std::string path = std::string(base) + "/" + row.name;
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        ASSERT_EQ(chdir(path.c_str()), 0);
        if (row.removed) {
            ASSERT_EQ(rmdir(path.c_str()), 0);
        }
        EXPECT_EQ(liborvaniot_os_initialize(), 0);
        EXPECT_EQ(liborvaniot_os_finalize(), 0);
        ASSERT_EQ(fchdir(home), 0);
        if (!row.removed) rmdir(path.c_str());
    }
    rmdir(base);
    close(home);
    std::setlocale(LC_ALL, previous_locale.c_str());
}

}  // namespace
