#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "run_orva.h"

namespace orva {
namespace {

using test::EStream;
using test::RunOrva;

const std::string kScene = std::string(ORVA_SAMPLES_DIR) + "/solitaire_ring.orv";
const std::string kOtherScene = std::string(ORVA_SAMPLES_DIR) + "/first_ring.orv";

// Every numeric option of every command, with what else the command needs; scenes one after
// another take them alike.
const char* const kNumericOptions[] = {
    "measure SCENE --accuracy",           "measure SCENE --threads",
    "measure SCENE OTHER --accuracy",     "render SCENE OTHER -o X.{name}.png --aa",
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
                                      {"OTHER", kOtherScene},
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

// Every mistake on the command line is one line of one form, "orva: render: --aa must be 1 to 4
// (got 99)": a value out of range or not a number for every numeric option, a value no choice
// names, a missing or unknown argument, a mistyped command, a scene that is not there.
TEST(CommandLineTest, EveryMistakeIsOneLineInOneStyle) {
    std::vector<std::pair<std::string, std::string>> runs;  // words, what the line must hold
    for (const char* option : kNumericOptions) {
        const std::string command = std::string(option).substr(0, std::string(option).find(' '));
        const std::string name = std::string(option).substr(std::string(option).rfind(' ') + 1);
        for (const char* value : {"99999", "-7", "x"}) {
            runs.push_back(
                {WithScene(option) + " " + value, "orva: " + command + ": " + name + " must be "});
        }
    }
    runs.push_back({WithScene("export SCENE -o X.stl --parts some"),
                    "orva: export: --parts must be one of all, metal, gems (got some)"});
    runs.push_back({WithScene("render SCENE -o X.png --size 9x"), "orva: render: --size must be"});
    runs.push_back({WithScene("turntable SCENE -o X.webp --turn a"), "orva: turntable: --turn"});
    runs.push_back({WithScene("measure SCENE --alloy 19k"), "orva: measure: --alloy must be"});
    runs.push_back({WithScene("render SCENE"), "orva: render: --output is required"});
    runs.push_back({WithScene("export SCENE -o X.stl extra"), "orva: export: the following"});
    runs.push_back({WithScene("render SCENE OTHER -o X.png"), "orva: render: -o needs {name}"});
    runs.push_back({WithScene("render SCENE SCENE -o X.{name}.png"),
                    "orva: render: " + kScene + " and " + kScene + " would both write"});
    runs.push_back({WithScene("measure SCENE OTHER --pdf X.pdf"), "orva: measure: --pdf needs"});
    runs.push_back({"rendr x.orv", "orva: unknown command 'rendr'; did you mean 'render'?"});
    runs.push_back({"", "orva: a command is required"});
    runs.push_back({"info /nonexistent/missing.orv", "orva: cannot open /nonexistent/missing.orv"});
    for (const auto& [words, wanted] : runs) {
        const test::CRun run = RunOrva(words, EStream::kBoth);
        EXPECT_NE(run.exitCode, 0) << words;
        EXPECT_EQ(run.output.find(wanted), 0u) << words << " said: " << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1)
            << words << " said: " << run.output;
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

// Results that never reach their reader are a failure, in every command that prints results.
TEST(CommandLineTest, LostOutputIsAnError) {
    const std::string errors =
        (std::filesystem::temp_directory_path() / "orva_full_errors.txt").string();
    for (const std::string command : {"info", "info --json", "measure", "measure --json"}) {
        const std::string line =
            std::string(ORVA_PROGRAM) + " " + command + " " + kScene + " >/dev/full 2>" + errors;
        const int status = std::system(line.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1) << command;
        std::ifstream said(errors);
        const std::string text((std::istreambuf_iterator<char>(said)), {});
        EXPECT_NE(text.find("cannot write to standard output: No space left on device"),
                  std::string::npos)
            << command << ": " << text;
    }
}

// Runs orva, sends Ctrl+C after `delay` and returns its exit status, or -1 when it was still
// running ten seconds later (it is then killed).
int ExitAfterInterrupt(std::vector<std::string> words, std::chrono::milliseconds delay) {
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(ORVA_PROGRAM)};
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        execv(ORVA_PROGRAM, argv.data());
        _exit(127);
    }
    std::this_thread::sleep_for(delay);
    kill(child, SIGINT);
    int status = 0;
    for (int waited = 0; waited < 1000; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

// A scene file of 64 GB (sparse: the signature, then zeros, which are no record) takes minutes to
// read; Ctrl+C stops the read at once in every command that reads scenes.
TEST(CommandLineTest, InterruptStopsLoadingALargeFile) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orva_large";
    std::filesystem::create_directories(folder);
    const std::string large = (folder / "large.orv").string();
    {
        std::ifstream sample(kScene, std::ios::binary);
        std::string signature(36, '\0');  // 18 characters, two bytes each as files hold them
        sample.read(signature.data(), 36);
        std::ofstream(large, std::ios::binary | std::ios::trunc) << signature;
    }
    std::filesystem::resize_file(large, std::uintmax_t(64) << 30);
    const std::string out = (folder / "out").string();
    const std::vector<std::vector<std::string>> commands = {
        {"measure", large},
        {"render", large, "-o", out + ".png"},
        // Of several scenes, the stop ends the run: the next is not begun.
        {"render", large, kScene, "-o", out + "{name}.png"},
        {"measure", large, kScene},
        {"turntable", large, "-o", out + ".webp", "--frames", "2"},
        {"thumbnails", folder.string()},
    };
    for (const auto& command : commands) {
        EXPECT_EQ(ExitAfterInterrupt(command, std::chrono::milliseconds(500)), 130) << command[0];
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orva
