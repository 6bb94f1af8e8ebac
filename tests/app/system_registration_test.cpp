#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/desktop_registration.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// A prefix as an installation leaves it: bin/ for the programs, share/ with the desktop entry.
class SystemRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(m_root);
        fs::create_directories(m_root / "usr/bin");
        fs::create_directories(m_root / "usr/share/applications");
        fs::create_directories(m_root / "build/bin");
        fs::create_directories(m_root / "home/applications");
        std::ofstream(m_root / "usr/share/applications/orvaview.desktop") << "[Desktop Entry]\n";
        fs::create_directory_symlink(m_root / "usr", m_root / "linked");
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Folder(const std::string& relative) const { return (m_root / relative).string(); }

    // One folder per test: ctest runs the tests of this fixture side by side.
    const fs::path m_root = fs::temp_directory_path() /
                            (std::string("orva-system-registration-") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SystemRegistrationTest, AnInstallationInASystemDataFolderIsTheSystems) {
    const std::string bin = Folder("usr/bin/");
    EXPECT_TRUE(IsRegisteredBySystem(bin, {Folder("usr/share")}));
    // Spelled another way (trailing slash, through a link, among others) it is the same folder.
    EXPECT_TRUE(IsRegisteredBySystem(bin, {Folder("elsewhere"), Folder("usr/share/")}));
    EXPECT_TRUE(IsRegisteredBySystem(bin, {Folder("linked/share")}));
    EXPECT_TRUE(IsRegisteredBySystem(Folder("linked/bin/"), {Folder("usr/share")}));
}

TEST_F(SystemRegistrationTest, AFolderTheSystemDoesNotKnowRegistersForTheUser) {
    // A share folder the system does not read, or none at all.
    EXPECT_FALSE(IsRegisteredBySystem(Folder("usr/bin/"), {Folder("build"), Folder("usr")}));
    EXPECT_FALSE(IsRegisteredBySystem(Folder("usr/bin/"), {}));
    EXPECT_FALSE(IsRegisteredBySystem(Folder("build/bin/"), {Folder("usr/share")}));
    // A known folder without the viewer's desktop entry: nothing there opens ".orv" files.
    fs::remove(m_root / "usr/share/applications/orvaview.desktop");
    EXPECT_FALSE(IsRegisteredBySystem(Folder("usr/bin/"), {Folder("usr/share")}));
}

TEST_F(SystemRegistrationTest, AnInstallationTheSystemKnowsTakesAwayTheUsersCopies) {
    const fs::path home = m_root / "home";
    std::ofstream(home / "applications/other.desktop") << "[Desktop Entry]\n";
    ASSERT_EQ(
        RegisterDesktopIntegration(home.string(), "/old/build/orvaview", "/old/build/orva").written,
        kRegisteredFiles);
    EXPECT_EQ(ForgetDesktopIntegration(home.string()), kRegisteredFiles);
    // Everything registration wrote is gone, and nothing else.
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (entry.is_regular_file()) {
            left.push_back(fs::relative(entry.path(), home).string());
        }
    }
    EXPECT_EQ(left, std::vector<std::string>{"applications/other.desktop"});
    EXPECT_EQ(ForgetDesktopIntegration(home.string()), 0);
    EXPECT_EQ(ForgetDesktopIntegration(""), 0);
}

TEST(SystemDataDirsTest, AbsoluteEntriesOfTheListOrTheStandardPair) {
    const char* saved = std::getenv("XDG_DATA_DIRS");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("XDG_DATA_DIRS", "relative/share::/opt/a/share/:/usr/share", 1);
    EXPECT_EQ(SystemDataDirs(), (std::vector<std::string>{"/opt/a/share/", "/usr/share"}));
    const std::vector<std::string> standard = {"/usr/local/share/", "/usr/share/"};
    setenv("XDG_DATA_DIRS", "relative/only", 1);
    EXPECT_EQ(SystemDataDirs(), standard);
    unsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(SystemDataDirs(), standard);
    if (saved != nullptr) {
        setenv("XDG_DATA_DIRS", previous.c_str(), 1);
    }
}

}  // namespace
}  // namespace orva
