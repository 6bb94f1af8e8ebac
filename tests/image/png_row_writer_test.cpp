#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "image/noise_picture.h"
#include "image/png_decode.h"
#include "image/png_row_writer.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// A new empty folder, removed with everything in it at the end.
struct CScratchFolder {
    fs::path path;
    CScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "orva-png-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~CScratchFolder() {
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(path);
    }
    std::vector<fs::path> Files() const {
        return {fs::directory_iterator(path), fs::directory_iterator()};
    }
};

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PngRowWriterTest, ColourAndAlphaReadBackExactlyForAnyWidth) {
    const CScratchFolder folder;
    for (const int width : {1, 2, 3, 5, 31, 64}) {
        for (const bool alpha : {true, false}) {
            const CNoisePicture picture(width, 7, static_cast<unsigned>(width));
            const std::string path = (folder.path / "round.png").string();
            ASSERT_TRUE(WritePngFile(path, picture.View(alpha)));
            CDecodedPng png;
            ASSERT_TRUE(DecodePng(path, png));
            ASSERT_EQ(png.width, width);
            ASSERT_EQ(png.height, 7);
            EXPECT_EQ(png.hasAlpha, alpha);
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t* got = &png.rgba[(static_cast<size_t>(y) * width + x) * 4];
                    const uint8_t* bgr = picture.Row(y) + 3 * x;
                    ASSERT_EQ(got[0], bgr[2]) << width << " " << x << "," << y;
                    ASSERT_EQ(got[1], bgr[1]);
                    ASSERT_EQ(got[2], bgr[0]);
                    ASSERT_EQ(got[3], alpha ? picture.AlphaRow(y)[x] : 255);
                }
            }
        }
    }
}

TEST(PngRowWriterTest, MissingOrReadOnlyFolderFailsAndLeavesNothing) {
    const CScratchFolder folder;
    const CNoisePicture picture(5, 3, 1);
    errno = 0;
    EXPECT_FALSE(WritePngFile((folder.path / "missing" / "x.png").string(), picture.View(true)));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(WritePngFile(folder.path.string(), picture.View(true)));
    EXPECT_EQ(errno, EISDIR);
    for (const char* name : {"x.png", "x.bmp", "x.jpg"}) {
        // Nobody, root included, makes files in /proc.
        errno = 0;
        EXPECT_FALSE(WritePictureFile(std::string("/proc/orva-") + name, picture.View(true)));
        EXPECT_NE(errno, 0) << name;
        EXPECT_FALSE(fs::exists(std::string("/proc/orva-") + name));
    }
    if (geteuid() == 0) {
        return;  // permissions do not hold root back
    }
    fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
    for (const char* name : {"x.png", "x.bmp", "x.jpg"}) {
        errno = 0;
        EXPECT_FALSE(WritePictureFile((folder.path / name).string(), picture.View(true)));
        EXPECT_EQ(errno, EACCES);
    }
    EXPECT_TRUE(folder.Files().empty());
}

// A file size limit makes every write fail half way, the way a full disk would.
TEST(PngRowWriterTest, FailedOrAbandonedWriteKeepsTheExistingFile) {
    const CScratchFolder folder;
    const CNoisePicture picture(300, 300, 2);  // 270 kB of colour that does not compress
    for (const char* name : {"x.png", "x.bmp", "x.jpg"}) {
        const fs::path target = folder.path / name;
        std::ofstream(target) << "kept";
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit saved = limit;
        limit.rlim_cur = 32768;
        signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        errno = 0;
        const bool written = WritePictureFile(target.string(), picture.View(true));
        const int reason = errno;
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(written) << name;
        EXPECT_EQ(reason, EFBIG) << name;
        EXPECT_EQ(Contents(target), "kept") << name;
    }
    {
        CPngRowWriter writer;
        ASSERT_TRUE(writer.Open((folder.path / "x.png").string(), 300, 300, true));
        ASSERT_TRUE(writer.WriteRow(picture.Row(0), picture.AlphaRow(0)));
        EXPECT_EQ(folder.Files().size(), 4u);  // the temporary file beside the three kept
    }
    EXPECT_EQ(Contents(folder.path / "x.png"), "kept");
    EXPECT_EQ(folder.Files().size(), 3u);
}

// A pipe under the target's name is written into, not replaced by a file.
TEST(PngRowWriterTest, PipeIsWrittenThrough) {
    const CScratchFolder folder;
    const fs::path pipe = folder.path / "pipe.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Contents(pipe); });
    const CNoisePicture picture(5, 3, 4);
    EXPECT_TRUE(WritePngFile(pipe.string(), picture.View(true)));
    reader.join();
    EXPECT_EQ(received.substr(1, 3), "PNG");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(folder.Files().size(), 1u);
}

}  // namespace
}  // namespace orva
