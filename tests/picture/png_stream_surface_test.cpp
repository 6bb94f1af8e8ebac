#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "image/noise_picture.h"
#include "image/png_decode.h"
#include "picture/png_stream_surface.h"
#include "platform/interrupt.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

std::string TempPath(const std::string& name) {
    return (fs::temp_directory_path() / ("orva-stream-" + std::to_string(getpid()) + name))
        .string();
}

// Hands row y over as the renderer does: its coverage, then its colours as a one-row image
// padded to 4 bytes.
void Deliver(CDrawSurface& surface, const CNoisePicture& picture, int y, bool coverage) {
    std::vector<uint8_t> bits((picture.width * 3 + 3) & ~3, 0);
    std::copy(picture.Row(y), picture.Row(y) + 3 * picture.width, bits.begin());
    if (coverage) {
        surface.PutCoverage(0, y, picture.width, picture.AlphaRow(y));
    }
    surface.PutImage(0, y, picture.width, 1, bits.data());
}

CDecodedPng Decoded(const std::string& path) {
    CDecodedPng png;
    EXPECT_TRUE(DecodePng(path, png));
    std::remove(path.c_str());
    return png;
}

constexpr int kBand = 8;

// Four threads take bands of rows in the order given, as render threads do, and deliver each
// band's rows top to bottom. The thread that takes the band starting at `stopAt` delivers only
// its first three rows and then interrupts the render. The first band comes late, so that the
// others run ahead of it (however the threads happen to be scheduled, the result must match).
void DeliverBands(CPngStreamSurface& surface, const CNoisePicture& picture,
                  const std::vector<int>& bands, int stopAt = -1, CInterrupt* interrupt = nullptr) {
    std::atomic<size_t> nextBand{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (size_t b; (b = nextBand++) < bands.size();) {
                if (bands[b] == 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                const int end = bands[b] == stopAt ? stopAt + 3 : bands[b] + kBand;
                for (int y = bands[b]; y < std::min(end, picture.height); ++y) {
                    Deliver(surface, picture, y, true);
                }
                if (bands[b] == stopAt) {
                    interrupt->Request();
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

std::vector<int> Bands(int height) {
    std::vector<int> bands;
    for (int y = 0; y < height; y += kBand) {
        bands.push_back(y);
    }
    return bands;
}

// Decodes both files (removing them) and compares them pixel for pixel.
void ExpectSamePictures(const std::string& path, const std::string& expectedPath) {
    const CDecodedPng expected = Decoded(expectedPath);
    const CDecodedPng got = Decoded(path);
    EXPECT_TRUE(got.hasAlpha);
    EXPECT_EQ(got.width, expected.width);
    EXPECT_EQ(got.height, expected.height);
    EXPECT_TRUE(got.rgba == expected.rgba);
}

TEST(PngStreamSurfaceTest, BandsFromSeveralThreadsInAnyOrderMakeTheWholePicture) {
    const CNoisePicture picture(45, 301, 7);
    std::vector<int> bands = Bands(picture.height);
    std::shuffle(bands.begin(), bands.end(), std::mt19937(3));
    ASSERT_NE(bands.front(), 0);  // the first band taken waits for the ones above it
    const std::string streamed = TempPath("-streamed.png");
    CPngStreamSurface surface(streamed, picture.width, picture.height, true, 0x102030);
    DeliverBands(surface, picture, bands);
    ASSERT_TRUE(surface.Finish());
    EXPECT_EQ(surface.RowsDelivered(), picture.height);
    EXPECT_GE(surface.PeakRowsBuffered(), kBand);
    EXPECT_LE(surface.PeakRowsBuffered(), picture.height);
    const std::string whole = TempPath("-whole.png");
    ASSERT_TRUE(WritePngFile(whole, picture.View(true)));
    ExpectSamePictures(streamed, whole);
}

// Bands taken in increasing order never wait for each other for good, however few rows may be
// kept ahead.
TEST(PngStreamSurfaceTest, RowsKeptAheadAreBounded) {
    const CNoisePicture picture(21, 203, 8);
    const std::string streamed = TempPath("-bounded.png");
    CPngStreamSurface surface(streamed, picture.width, picture.height, true, 0x102030);
    surface.SetRowsAhead(kBand + 3);
    DeliverBands(surface, picture, Bands(picture.height));
    ASSERT_TRUE(surface.Finish());
    EXPECT_LE(surface.PeakRowsBuffered(), kBand + 3);
    const std::string whole = TempPath("-whole.png");
    ASSERT_TRUE(WritePngFile(whole, picture.View(true)));
    ExpectSamePictures(streamed, whole);
}

// The band at row 16 stops after three rows: the threads waiting behind it go on once the
// interrupt comes, and its missing rows are the background.
TEST(PngStreamSurfaceTest, InterruptReleasesThreadsWaitingForAMissingRow) {
    CNoisePicture picture(21, 203, 9);
    const std::string streamed = TempPath("-stopped.png");
    CPngStreamSurface surface(streamed, picture.width, picture.height, true, 0x102030);
    CInterrupt interrupt;
    surface.SetRowsAhead(kBand);
    surface.SetInterrupt(&interrupt);
    DeliverBands(surface, picture, Bands(picture.height), 16, &interrupt);
    ASSERT_TRUE(surface.Finish());
    for (int y = 19; y < 24; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            uint8_t* bgr = picture.bgr.data() + y * picture.stride + 3 * x;
            bgr[0] = 0x30, bgr[1] = 0x20, bgr[2] = 0x10;
            picture.alpha[y * picture.alphaStride + x] = 0;
        }
    }
    const std::string whole = TempPath("-whole.png");
    ASSERT_TRUE(WritePngFile(whole, picture.View(true)));
    ExpectSamePictures(streamed, whole);
}

// In order, each row is written as it arrives; an interrupted render ends in the background,
// transparent; rows without coverage are opaque; a row delivered twice keeps the first.
TEST(PngStreamSurfaceTest, RowsInOrderAreNotHeldAndMissingRowsGetTheBackground) {
    const CNoisePicture picture(13, 20, 9);
    const CNoisePicture other(13, 20, 10);
    const std::string path = TempPath("-interrupted.png");
    CPngStreamSurface surface(path, 13, 20, true, 0x102030);
    for (int y = 0; y < 10; ++y) {
        Deliver(surface, picture, y, true);
    }
    std::vector<uint8_t> twoRows(2 * 40, 0);  // rows 11 and 10, bottom-up, padded to 40 bytes
    std::copy(picture.Row(11), picture.Row(11) + 39, twoRows.begin());
    std::copy(picture.Row(10), picture.Row(10) + 39, twoRows.begin() + 40);
    surface.PutImage(0, 10, 13, 2, twoRows.data());
    Deliver(surface, other, 3, true);
    Deliver(surface, picture, 15, false);
    Deliver(surface, other, 15, true);
    EXPECT_EQ(surface.PeakRowsBuffered(), 1);
    ASSERT_TRUE(surface.Finish());
    EXPECT_EQ(surface.RowsDelivered(), 15);
    const CDecodedPng png = Decoded(path);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 13; ++x) {
            const uint8_t* got = &png.rgba[(y * 13 + x) * 4];
            const bool delivered = y < 12 || y == 15;
            const uint8_t* bgr = picture.Row(y) + 3 * x;
            const uint8_t alpha = y < 10 ? picture.AlphaRow(y)[x] : (delivered ? 255 : 0);
            ASSERT_EQ(got[0], delivered ? bgr[2] : 0x10) << x << "," << y;
            ASSERT_EQ(got[1], delivered ? bgr[1] : 0x20) << x << "," << y;
            ASSERT_EQ(got[2], delivered ? bgr[0] : 0x30) << x << "," << y;
            ASSERT_EQ(got[3], alpha) << x << "," << y;
        }
    }
}

TEST(PngStreamSurfaceTest, FileThatCannotBeOpenedFailsAtFinish) {
    const CNoisePicture picture(4, 2, 1);
    const std::string path = TempPath("-missing/x.png");
    CPngStreamSurface surface(path, 4, 2, false, 0);
    EXPECT_FALSE(surface.Good());
    Deliver(surface, picture, 0, false);
    errno = 0;
    EXPECT_FALSE(surface.Finish());
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace orva
