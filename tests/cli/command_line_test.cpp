#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "run_orva.h"

namespace orva {
namespace {

using test::EStream;
using test::RunOrva;

const std::string kScene = std::string(ORVA_SAMPLES_DIR) + "/solitaire_ring.orv";

// Every numeric option of every command, with what else the command needs.
const char* const kNumericOptions[] = {
    "measure SCENE --accuracy",           "measure SCENE --threads",
    "render SCENE -o X.png --quality",    "render SCENE -o X.png --mode",
    "render SCENE -o X.png --view",       "render SCENE -o X.png --aa",
    "render SCENE -o X.png --zoom",       "render SCENE -o X.png --margin",
    "render SCENE -o X.png --threads",    "thumbnails DIR --size",
    "turntable SCENE -o X.webp --frames", "turntable SCENE -o X.webp --aa",
    "turntable SCENE -o X.webp --view",   "turntable SCENE -o X.webp --margin",
    "turntable SCENE -o X.webp --fps",    "turntable SCENE -o X.webp --threads",
};

std::string WithScene(std::string words) {
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"SCENE", kScene},
                                      {"DIR", ORVA_SAMPLES_DIR},
                                      {"X.", "/nonexistent/x."}}) {
        for (std::size_t at = words.find(name); at != std::string::npos; at = words.find(name)) {
            words.replace(at, name.size(), value);
        }
    }
    return words;
}

TEST(CommandLineTest, NoNumericOptionTakesNaNOrInfinity) {
    for (const char* option : kNumericOptions) {
        for (const char* value : {"nan", "NaN", "inf", "-inf", "1e999"}) {
            const test::CRun run = RunOrva(WithScene(option) + " " + value, EStream::kStderr);
            EXPECT_EQ(run.exitCode, 2) << option << " " << value;
            EXPECT_NE(run.output.find(value), std::string::npos) << option << ": " << run.output;
        }
    }
}

// What is not a regular file is refused at once, with one line, in every command that reads a
// scene: a FIFO would block the open, /dev/zero never ends (under a 1 GB address-space limit,
// reading it would fail only after using it up).
TEST(CommandLineTest, OnlyRegularFilesAreRead) {
    const std::filesystem::path fifo =
        std::filesystem::temp_directory_path() / "orva_test_fifo.orv";
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& input : {fifo.string(), std::string("/dev/zero")}) {
        for (const std::string& command :
             {"measure " + input, "info " + input, "render " + input + " -o /tmp/orva_never.png"}) {
            const test::CRun run = RunOrva(command, EStream::kStderr);
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_NE(run.output.find("not a regular file"), std::string::npos) << run.output;
        }
    }
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer alone reserves more address space
    const std::string limited = "prlimit --as=1000000000 " + std::string(ORVA_PROGRAM) +
                                " measure /dev/zero >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(limited.c_str())), 1);
#endif
    std::filesystem::remove(fifo);
}

}  // namespace
}  // namespace orva
