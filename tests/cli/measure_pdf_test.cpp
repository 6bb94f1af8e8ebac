#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run_orva.h"
#include "scene_bytes.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        output.append(chunk.data(), got);
    }
    pclose(pipe);
    return output;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// What `orva measure` prints that the page must say too: the INCOMPLETE line, the scene's name,
// the metal's volume and weight, each material with its volume and weight, each stone line's
// carats, the ring's diameter, circumference and EU and JP sizes.
std::vector<std::string> FiguresOfTable(const std::string& table) {
    std::vector<std::string> figures;
    std::istringstream lines(table);
    enum { kNone, kMetals, kGems } section = kNone;
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> w = Words(line);
        if (line.rfind("INCOMPLETE: ", 0) == 0) {
            figures.insert(figures.end(), w.begin(), w.end());
        } else if (line.rfind("scene: ", 0) == 0 || line.rfind("metal volume: ", 0) == 0 ||
                   line.rfind("metal weight: ", 0) == 0) {
            figures.push_back(line.rfind("scene", 0) == 0 ? w.at(1) : w.at(2));
        } else if (line.rfind("metal ", 0) == 0 && w.back() == "g") {
            section = kMetals;
        } else if (line.rfind("count ", 0) == 0) {
            section = kGems;
        } else if (line.rfind("ring: ", 0) == 0) {
            // ring: inner diameter D mm, circumference C mm; size US .., UK .., EU E, JP J
            figures.insert(figures.end(),
                           {w.at(3), w.at(6), w[w.size() - 3].substr(0, 2), w.back()});
        } else if (section == kMetals && w.size() >= 5) {
            const std::size_t n = w.size();
            figures.insert(figures.end(), {w[n - 5], w[n - 2], w[n - 1]});
        } else if (section == kGems && w.size() >= 9) {
            figures.insert(figures.end(), {w[w.size() - 2], w.back()});
        } else {
            section = kNone;
        }
    }
    return figures;
}

// Every shipped sample and a cut-off copy of one: the page holds the numbers the table holds
// (as whole words, so 0.472 is not found in 10.472), the cut-off one's page says INCOMPLETE,
// and each page has the two pictures as images.
TEST(MeasurePdfTest, PageSaysWhatTheTablePrints) {
    if (std::system("command -v pdftotext >/dev/null && command -v pdfimages >/dev/null") != 0) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdfimages) is not installed";
    }
    std::vector<std::string> scenes;
    for (const fs::directory_entry& entry : fs::directory_iterator(ORVA_SAMPLES_DIR)) {
        if (entry.path().extension() == ".orv") {
            scenes.push_back(entry.path().string());
        }
    }
    std::sort(scenes.begin(), scenes.end());
    ASSERT_GE(scenes.size(), 4u);
#ifdef ORVA_SANITIZED
    scenes.resize(2);
#endif
    const std::string cut = test::WriteTempFile("cut_off.orv", {});
    fs::copy_file(scenes[0], cut, fs::copy_options::overwrite_existing);
    fs::resize_file(cut, fs::file_size(cut) * 2 / 3);
    scenes.push_back(cut);
    for (const std::string& scene : scenes) {
        SCOPED_TRACE(scene);
        const std::string pdf = cut + ".pdf";
        fs::remove(pdf);
        const test::CRun run = test::RunOrva("measure '" + scene + "' --pdf '" + pdf + "'");
        EXPECT_EQ(run.exitCode, scene == cut ? 1 : 0);
        const std::string page = Capture("pdftotext -layout '" + pdf + "' -");
        const std::vector<std::string> words = Words(page);
        const std::set<std::string> onPage(words.begin(), words.end());
        const std::vector<std::string> figures = FiguresOfTable(run.output);
        EXPECT_GE(figures.size(), 6u) << run.output;
        for (const std::string& figure : figures) {
            EXPECT_TRUE(onPage.count(figure)) << figure << " is not on the page:\n" << page;
        }
        EXPECT_EQ(page.find("INCOMPLETE") != std::string::npos, scene == cut) << page;
        // Two heading lines, then a line per image.
        const std::string images = Capture("pdfimages -list '" + pdf + "'");
        EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2 + 2) << images;
    }
    // A page that cannot be written: one line that names it, and exit 1.
    const test::CRun failed = test::RunOrva(
        "measure '" + scenes[0] + "' --pdf /nonexistent/report.pdf", test::EStream::kStderr);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(std::count(failed.output.begin(), failed.output.end(), '\n'), 1) << failed.output;
    EXPECT_NE(failed.output.find("/nonexistent/report.pdf"), std::string::npos) << failed.output;
}

}  // namespace
}  // namespace orva
