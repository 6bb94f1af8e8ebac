#include "platform/replacing_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orva {
namespace {

namespace fs = std::filesystem;

// A folder of its own for each test, empty at the start.
fs::path Folder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("orva-replacing-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string Text(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

mode_t Permissions(const fs::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(ReplacingFileTest, WholeContentsTakeThePermissionsAskedForOrKeepTheReplacedOnes) {
    const fs::path folder = Folder("contents");
    const fs::path target = folder / "entry.desktop";
    // Binary contents, a zero byte included, come back byte for byte.
    const std::string contents("[Entry]\n\0x\n", 11);
    ASSERT_TRUE(WriteReplacingFile(target.string(), contents));
    EXPECT_EQ(Text(target), contents);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(WriteReplacingFile(target.string(), std::string("again")));
    EXPECT_EQ(Text(target), "again");
    EXPECT_EQ(Permissions(target), 0640u);
    // Asked for, the permissions hold whatever the umask or the file replaced had.
    const mode_t umaskBefore = umask(0);
    ASSERT_TRUE(WriteReplacingFile(target.string(), std::string("private"), 0600));
    ASSERT_TRUE(WriteReplacingFile((folder / "new").string(), std::string("new"), 0600));
    umask(umaskBefore);
    EXPECT_EQ(Permissions(target), 0600u);
    EXPECT_EQ(Permissions(folder / "new"), 0600u);
    EXPECT_FALSE(WriteReplacingFile((folder / "missing/x").string(), std::string("x")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(Listing(folder).size(), 2u);
    fs::remove_all(folder);
}

// A library that opens its output by name writes the reserved file; the target changes only
// on Commit, and a reservation never committed leaves nothing behind.
TEST(ReplacingFileTest, AReservedFileIsWrittenByNameAndTakesTheTargetsPlaceOnCommit) {
    const fs::path folder = Folder("reserve");
    const fs::path target = folder / "ring.webp";
    std::ofstream(target) << "old";
    {
        CReplacingFile file;
        ASSERT_TRUE(file.Reserve(target.string(), 0600));
        EXPECT_EQ(file.File(), nullptr);
        EXPECT_NE(file.Path(), target.string());
        EXPECT_EQ(fs::path(file.Path()).parent_path(), folder);
        EXPECT_EQ(Permissions(file.Path()), 0600u);
        std::ofstream(file.Path(), std::ios::trunc) << "unfinished";
    }
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"ring.webp"});
    EXPECT_EQ(Text(target), "old");

    CReplacingFile file;
    ASSERT_TRUE(file.Reserve(target.string()));
    std::ofstream(file.Path(), std::ios::trunc) << "finished";
    EXPECT_EQ(Text(target), "old");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Text(target), "finished");
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"ring.webp"});
    EXPECT_FALSE(file.Commit());
    EXPECT_FALSE(file.Reserve(folder.string()));
    EXPECT_EQ(errno, EISDIR);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace orva
