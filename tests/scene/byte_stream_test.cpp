#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include <unistd.h>

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene_bytes.h"

namespace orva {
namespace {

TEST(ScrambledReadTest, OneByteReadIgnoresTheFirstPhysicalByte) {
    for (uint8_t first : {0x00, 0x41, 0xFF}) {
        const std::vector<uint8_t> bytes = {first, 0x5A};
        CByteReader in(bytes);
        EXPECT_EQ(in.ReadByte(), 0x5A ^ 0x5E);
        EXPECT_EQ(in.Offset(), 2);
        EXPECT_FALSE(in.AtEnd());
    }
}

TEST(ScrambledReadTest, FourByteReadTakesFivePhysicalBytesInNibbleOrder) {
    // c0..c4 = 12 34 56 78 9A, then a 1-byte read of the pair (00, 5E) gives 0.
    const std::vector<uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A, 0x00, 0x5E};
    CByteReader in(bytes);
    uint8_t out[4];
    in.ReadBytes(out, 4);
    EXPECT_EQ(out[3], static_cast<uint8_t>(0x23 ^ 0xC4));  // low nibble of c0, high nibble of c1
    EXPECT_EQ(out[2], static_cast<uint8_t>(0x45 ^ 0xB2));
    EXPECT_EQ(out[1], static_cast<uint8_t>(0x67 ^ 0x07));
    EXPECT_EQ(out[0], static_cast<uint8_t>(0x9A ^ 0x5E));  // the last byte alone
    EXPECT_EQ(in.Offset(), 5);
    EXPECT_EQ(in.ReadByte(), 0);
}

TEST(ScrambledReadTest, IgnoredNibblesPlayNoPart) {
    // High nibble of c0 and low nibble of c(n-1) are ignored: flip them and read the same value.
    for (size_t n : {2u, 4u}) {
        std::vector<uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A};
        bytes.resize(n + 1);
        uint8_t expected[4];
        {
            CByteReader in(bytes);
            in.ReadBytes(expected, n);
        }
        bytes[0] ^= 0xF0;
        bytes[n - 1] ^= 0x0F;
        uint8_t actual[4];
        CByteReader in(bytes);
        in.ReadBytes(actual, n);
        EXPECT_EQ(std::memcmp(expected, actual, n), 0) << "read of " << n << " bytes";
    }
}

TEST(ScrambledReadTest, MissingPhysicalBytesCountAsAllOnes) {
    const std::vector<uint8_t> bytes = {0x00};
    CByteReader in(bytes);
    EXPECT_EQ(in.ReadByte(), 0xFF ^ 0x5E);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.StopReason(), "end of file");
    EXPECT_EQ(in.StopOffset(), 1);
}

TEST(PlainReadTest, ShortReadLeavesTheRestOfTheBufferAlone) {
    const std::vector<uint8_t> bytes = {0x01, 0x02};
    CByteReader in(bytes);
    in.SetScrambledReading(false);
    uint8_t out[4] = {0xAA, 0xBB, 0xCC, 0xDD};
    in.ReadBytes(out, 4);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x02);
    EXPECT_EQ(out[2], 0xCC);
    EXPECT_EQ(out[3], 0xDD);
    EXPECT_TRUE(in.AtEnd());

    uint8_t again[4] = {9, 9, 9, 9};
    in.ReadBytes(again, 4);
    EXPECT_EQ(again[0], 9);
}

TEST(CountedStringTest, LengthBelowOneYieldsNoTextAndConsumesOnlyTheLength) {
    for (int32_t length : {0, -1}) {
        CMemorySink sink;
        CByteWriter out(sink);
        out.WriteInt32(length);
        out.WriteByte('x');
        CByteReader in(sink.data);
        std::string text = "old";
        EXPECT_FALSE(in.ReadCountedString(text));
        EXPECT_TRUE(text.empty());
        EXPECT_EQ(in.Offset(), 5);
        EXPECT_EQ(in.ReadByte(), 'x');
    }
}

TEST(CountedStringTest, LengthBeyondTheStreamStopsWithoutReading) {
    CMemorySink sink;
    CByteWriter out(sink);
    out.WriteInt32(0x7FFFFFFF);
    out.WriteByte('a');
    CByteReader in(sink.data);
    std::string text;
    EXPECT_FALSE(in.ReadCountedString(text));
    EXPECT_TRUE(in.Failed());
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.StopReason(), "text longer than the rest of the file");
    EXPECT_EQ(in.StopOffset(), 5);
}

TEST(ByteWriterTest, EveryPrimitiveRoundTripsInBothModes) {
    std::mt19937 random(7);
    for (bool scrambled : {true, false}) {
        CMemorySink sink;
        CByteWriter out(sink, scrambled);
        out.SetFillerSeed(random());
        std::vector<int32_t> ints;
        for (int i = 0; i < 200; ++i) {
            ints.push_back(static_cast<int32_t>(random()));
            out.WriteInt32(ints.back());
        }
        out.WriteInt16(-2);
        out.WriteReal(-1.5f);
        CMatrix4 m;
        m[7] = 3.25f;
        out.WriteMatrix(m);
        out.WriteCountedString("Gold18K");

        CByteReader in(sink.data);
        in.SetScrambledReading(scrambled);
        for (int32_t expected : ints) {
            ASSERT_EQ(in.ReadInt32(), expected);
        }
        EXPECT_EQ(in.ReadInt16(), -2);
        EXPECT_EQ(in.ReadReal(), -1.5f);
        EXPECT_EQ(in.ReadMatrix(), m);
        std::string text;
        EXPECT_TRUE(in.ReadCountedString(text));
        EXPECT_EQ(text, "Gold18K");
        EXPECT_FALSE(in.Failed());
        // A matrix is sixteen separate reads: 80 physical bytes when scrambled.
        EXPECT_EQ(sink.data.size(),
                  scrambled ? 200 * 5 + 3 + 5 + 80 + 5 + 2 * 7 : 200 * 4 + 2 + 4 + 64 + 4 + 7);
    }
}

TEST(FileReaderTest, ReadsAcrossBufferBoundariesLikeMemory) {
    // More than the 1 MiB file buffer, so scrambled reads straddle refills.
    CMemorySink sink;
    CByteWriter out(sink);
    auto value = [](uint32_t i) { return static_cast<int32_t>(i * 2654435761u); };
    for (uint32_t i = 0; i < 300000; ++i) {
        out.WriteInt32(value(i));
    }
    const std::string path = test::WriteTempFile("boundary.bin", sink.data);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    CByteReader in(file);
    EXPECT_EQ(in.RemainingBytes(), static_cast<int64_t>(sink.data.size()));
    for (uint32_t i = 0; i < 300000; ++i) {
        ASSERT_EQ(in.ReadInt32(), value(i)) << "at " << i;
    }
    EXPECT_FALSE(in.AtEnd());
    in.ReadByte();
    EXPECT_TRUE(in.AtEnd());
    std::fclose(file);
}

TEST(CanHoldTest, RejectsCountsTheRestOfTheStreamCannotHold) {
    const std::vector<uint8_t> bytes(100, 0);
    CByteReader in(bytes);
    EXPECT_TRUE(in.CanHold(5, 4, 4, "points"));   // 5 * 4 * 5 = 100 bytes: fits exactly
    EXPECT_FALSE(in.CanHold(6, 4, 4, "points"));  // 120 bytes: does not
    EXPECT_EQ(in.StopReason(), "points");
    CByteReader huge(bytes);
    EXPECT_FALSE(huge.CanHold(INT64_MAX / 2, 4, 4, "overflowing"));  // no multiplication overflow
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(FileReaderTest, SourcesWithoutASizeAreReadWholeSoCountsCanBeChecked) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    CMemorySink sink;
    CByteWriter out(sink);
    out.WriteInt32(0x7FFFFFFF);
    out.WriteInt32(42);
    ASSERT_EQ(write(fds[1], sink.data.data(), sink.data.size()),
              static_cast<ssize_t>(sink.data.size()));
    close(fds[1]);
    std::FILE* file = fdopen(fds[0], "rb");
    CByteReader in(file);
    EXPECT_EQ(in.RemainingBytes(), 10);
    EXPECT_EQ(in.ReadInt32(), 0x7FFFFFFF);
    EXPECT_FALSE(in.CanHold(0x7FFFFFFF, 4, 4, "points"));
    std::fclose(file);
}

}  // namespace
}  // namespace orva
