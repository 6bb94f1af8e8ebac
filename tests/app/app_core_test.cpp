#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/command_ids.h"
#include "app/desktop_database_update.h"
#include "app/desktop_registration.h"
#include "app/orva_document.h"
#include "app/startup.h"
#include "app/view_commands.h"
#include "platform/message_box.h"
#include "scene_bytes.h"
#include "view/view_camera.h"

namespace orva {
namespace {

using test::json;

TEST(StartupTest, TheDataDirectoryFlagIsAWholeArgument) {
    EXPECT_EQ(ParseStartup({"-l"}).dataDirectory, kFlagDataDirectory);
    EXPECT_EQ(ParseStartup({"ring.orv", "-L"}).dataDirectory, kFlagDataDirectory);
    // A path that merely holds the two letters is a path, and the file to open.
    const CStartupRequest path = ParseStartup({"/home/me/my-library/ring.orv"});
    EXPECT_EQ(path.dataDirectory, "");
    EXPECT_EQ(path.fileToOpen, "/home/me/my-library/ring.orv");
    EXPECT_EQ(ParseStartup({"-lx"}).dataDirectory, "");
    EXPECT_EQ(ParseStartup({"/L"}).dataDirectory, "");
    EXPECT_EQ(ParseStartup({}).dataDirectory, "");
}

TEST(StartupTest, TheFirstArgumentThatIsNoSwitchIsOpened) {
    EXPECT_EQ(ParseStartup({}).fileToOpen, "");
    EXPECT_EQ(ParseStartup({"-l", "/x", "ring.orv", "band.orv"}).fileToOpen, "ring.orv");
    EXPECT_EQ(ParseStartup({"-l", "/x"}).fileToOpen, "");
}

TEST(StartupTest, AnAbsolutePathIsAFileNotASwitch) {
    EXPECT_EQ(ParseStartup({"/p", "/home/me/ring.orv"}).fileToOpen, "/home/me/ring.orv");
    EXPECT_EQ(ParseStartup({"-L", "/tmp/missing/ring.orv"}).fileToOpen, "/tmp/missing/ring.orv");
    // A file straight below the root is still a file when it exists.
    EXPECT_EQ(ParseStartup({"/"}).fileToOpen, "/");
    EXPECT_EQ(ParseStartup({"/dde"}).fileToOpen, "");
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous =
            SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    }
    void TearDown() override { SetMessageHandler(m_previous); }

    MessageHandler m_previous;
    std::vector<std::string> m_messages;
};

std::string RingFile(const std::string& name) {
    return test::WriteTempFile(
        name, test::SceneBytes(json::array({{{"type", "curve"}, {"points", {{0, 0, 0}}}}})));
}

TEST_F(DocumentTest, AnUntitledDocumentIsEmpty) {
    COrvaDoc doc;
    EXPECT_EQ(doc.Scene().first, nullptr);
    EXPECT_EQ(doc.Title(), "Untitled");
    EXPECT_EQ(doc.Caption(), "Orvatrix Viewer - Untitled");
}

TEST_F(DocumentTest, OpeningReadsTheFileOnceAndTitlesTheWindowWithItsName) {
    const std::string path = RingFile("Ring.orv");
    COrvaDoc doc;
    EXPECT_TRUE(doc.OpenDocument(path));
    ASSERT_NE(doc.Scene().first, nullptr);
    EXPECT_EQ(doc.Caption(), "Orvatrix Viewer - Ring.orv");
    // The same file again, by its path or through a link, is not read again.
    CSceneObject* first = doc.Scene().first;
    const std::filesystem::path link = std::filesystem::path(path).parent_path() / "link.orv";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(path, link);
    EXPECT_FALSE(doc.OpenDocument(path));
    EXPECT_FALSE(doc.OpenDocument(link.string()));
    EXPECT_EQ(doc.Scene().first, first);
    // A name that differs in case is another file here.
    const std::string other = RingFile("ring.orv");
    EXPECT_TRUE(doc.OpenDocument(other));
    EXPECT_EQ(doc.Title(), "ring.orv");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DocumentTest, AFileThatCannotBeTakenLeavesTheOpenDocumentAsItWas) {
    COrvaDoc doc;
    ASSERT_TRUE(doc.OpenDocument(RingFile("first.orv")));
    const CSceneObject* shown = doc.Scene().first;
    ASSERT_NE(shown, nullptr);
    const std::string folder = std::filesystem::path(doc.Path()).parent_path().string();
    const std::string bad = test::WriteTempFile("bad.orv", {'n', 'o', 't', ' ', 'a'});
    int replaced = 0;
    for (const std::string& path : {std::string("/nonexistent/folder/gone.orv"), folder, bad}) {
        EXPECT_FALSE(doc.OpenDocument(path, [&] { ++replaced; })) << path;
        EXPECT_EQ(doc.Scene().first, shown) << path;
        EXPECT_EQ(doc.Title(), "first.orv") << path;
    }
    EXPECT_EQ(replaced, 0);
    // Each says which file and why; a bad one keeps its fixed first line.
    const std::vector<std::string> expected{
        "Cannot open /nonexistent/folder/gone.orv: No such file or directory",
        "Cannot open " + folder + ": Is a directory", "Invalid file format!\n" + bad};
    EXPECT_EQ(m_messages, expected);
    // A good file replaces the scene, once it has been read.
    EXPECT_TRUE(doc.OpenDocument(RingFile("second.orv"), [&] { ++replaced; }));
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(doc.Title(), "second.orv");
}

TEST(ViewCommandsTest, ModeCommandsRedrawOnlyWhenTheModeChanges) {
    CViewCamera camera;
    camera.displayMode = kModeRendered;
    int redraws = 0;
    const auto CountRedraw = [&] { ++redraws; };
    EXPECT_TRUE(RunViewCommand(kCommandViewRendering, camera, CountRedraw));
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(RunViewCommand(kCommandViewWireframe, camera, CountRedraw));
    EXPECT_TRUE(RunViewCommand(kCommandViewWireframe, camera, CountRedraw));
    EXPECT_EQ(camera.displayMode, kModeWireframe);
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(RunViewCommand(kCommandViewRendering, camera, CountRedraw));
    EXPECT_EQ(camera.displayMode, kModeRendered);
    EXPECT_EQ(redraws, 2);
    EXPECT_FALSE(RunViewCommand(kCommandOpenFile, camera, CountRedraw));
}

TEST(ViewCommandsTest, ResetViewReturnsToTheFirstStandardView) {
    CViewCamera camera;
    camera.SetViewportRect(0, 0, 100, 80);
    camera.SetStandardView(1);
    const CMatrix4 start = camera.CurrentViewport().view;
    camera.CurrentViewport().Rotate(0, 30.0);
    camera.CurrentViewport().zoom = 3.0f;
    camera.standardView = 0;
    int redraws = 0;
    const auto CountRedraw = [&] { ++redraws; };
    EXPECT_TRUE(RunViewCommand(kCommandViewReset, camera, CountRedraw));
    EXPECT_EQ(camera.CurrentViewport().view, start);
    EXPECT_EQ(camera.CurrentViewport().zoom, 1.0f);
    EXPECT_EQ(redraws, 1);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DesktopRegistrationTest, WritesOnlyWhatIsMissingOrDifferent) {
    const fs::path home = fs::temp_directory_path() / "orva-registration-home";
    fs::remove_all(home);
    const CRegistrationResult first =
        RegisterDesktopIntegration(home.string(), "/opt/orva view/orvaview", "/opt/orva view/orva");
    EXPECT_EQ(first.written, kRegisteredFiles);
    EXPECT_EQ(first.failed, 0);
    const std::string mime = ReadText(home / "mime/packages/orvaview.xml");
    EXPECT_NE(mime.find("<glob pattern=\"*.orv\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<comment>OrvaVi Document</comment>"), std::string::npos);
    const std::string entry = ReadText(home / "applications/orvaview.desktop");
    EXPECT_NE(entry.find("Exec=\"/opt/orva view/orvaview\" %f\n"), std::string::npos);
    EXPECT_NE(ReadText(home / "thumbnailers/orvaview.thumbnailer")
                  .find("Exec=\"/opt/orva view/orva\" thumbnails --one %i %o %s\n"),
              std::string::npos);

    const CRegistrationResult again =
        RegisterDesktopIntegration(home.string(), "/opt/orva view/orvaview", "/opt/orva view/orva");
    EXPECT_EQ(again.written, 0);
    EXPECT_EQ(again.unchanged, kRegisteredFiles);

    // A moved program rewrites the entries that name it; the type stays.
    const CRegistrationResult moved =
        RegisterDesktopIntegration(home.string(), "/usr/bin/orvaview", "/usr/bin/orva");
    EXPECT_EQ(moved.written, 2);
    EXPECT_EQ(moved.unchanged, kRegisteredFiles - 2);
    EXPECT_NE(ReadText(home / "applications/orvaview.desktop").find("Exec=\"/usr/bin/orvaview\""),
              std::string::npos);
    fs::remove_all(home);
}

TEST(DesktopRegistrationTest, TheTypeTakesEffectWithItsIcon) {
    const fs::path home = fs::temp_directory_path() / "orva-registration-effect";
    fs::remove_all(home);
    RegisterDesktopIntegration(home.string(), "/usr/bin/orvaview", "/usr/bin/orva");
    EXPECT_NE(
        ReadText(home / "icons/hicolor/scalable/mimetypes/application-x-orvaview-document.svg")
            .find("<svg"),
        std::string::npos);
    EXPECT_NE(ReadText(home / "icons/hicolor/scalable/apps/orvaview.svg").find("<svg"),
              std::string::npos);
    if (UpdateDesktopDatabases(home.string(), EWaitForTools::kYes) == 0) {
        GTEST_SKIP() << "neither update-mime-database nor update-desktop-database is installed";
    }
    // What the type lookup reads: the glob of the type, built from the registered package.
    if (fs::exists("/usr/bin/update-mime-database")) {
        EXPECT_NE(ReadText(home / "mime/globs2").find("application/x-orvaview-document:*.orv"),
                  std::string::npos);
    }
    if (fs::exists("/usr/bin/update-desktop-database")) {
        EXPECT_NE(ReadText(home / "applications/mimeinfo.cache")
                      .find("application/x-orvaview-document=orvaview.desktop"),
                  std::string::npos);
    }
    fs::remove_all(home);
}

TEST(DesktopRegistrationTest, AFolderThatCannotBeWrittenIsNoError) {
    // A plain file where the folders would go: nothing below it can be made.
    const fs::path blocked = fs::temp_directory_path() / "orva-registration-blocked";
    fs::remove_all(blocked);
    std::ofstream(blocked) << "in the way";
    const CRegistrationResult r =
        RegisterDesktopIntegration(blocked.string(), "/a/orvaview", "/a/orva");
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(r.failed, kRegisteredFiles);
    EXPECT_EQ(ReadText(blocked), "in the way");
    fs::remove(blocked);
    EXPECT_EQ(RegisterDesktopIntegration("", "/a/orvaview", "/a/orva").failed, kRegisteredFiles);
}

}  // namespace
}  // namespace orva
