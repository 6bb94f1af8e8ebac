#include "browser/data_directory.h"

#include <QSettings>
#include <utility>

#include "browser/folder_dialog.h"
#include "platform/module_directory.h"

namespace orva {

namespace {

std::string& DataDirectoryText() {
    static std::string text;
    return text;
}

FolderAsker& CurrentAsker() {
    static FolderAsker asker = AskForFolderWithDialog;
    return asker;
}

// Where the folder chosen in the browser is kept between runs of the program.
constexpr char kRememberedFolderKey[] = "browser/folder";

std::string RememberedFolder() {
    return QSettings().value(kRememberedFolderKey).toByteArray().toStdString();
}

// GetModuleDirectory ends in "/", so "../OrvData" of the command-line flag lands beside the
// program's folder.
std::string FromProgramFolder(const std::string& directory) {
    return directory.empty() || directory.front() == '/' ? directory
                                                         : GetModuleDirectory() + directory;
}

std::string& SamplesFolderText() {
    static std::string text = GetProgramDataDirectory() + "samples";
    return text;
}

}  // namespace

FolderAsker SetFolderAsker(FolderAsker asker) {
    FolderAsker previous = std::move(CurrentAsker());
    CurrentAsker() = std::move(asker);
    return previous;
}

const std::string& DataDirectory() {
    return DataDirectoryText();
}

void SetDataDirectory(std::string directory) {
    DataDirectoryText() = std::move(directory);
}

std::string AskForFolder(const std::string& title) {
    return CurrentAsker() ? CurrentAsker()(title) : std::string();
}

void ChooseDataDirectory(std::string directory) {
    QSettings().setValue(kRememberedFolderKey, QByteArray::fromStdString(directory));
    SetDataDirectory(std::move(directory));
}

std::string KnownDataDirectory() {
    std::string& directory = DataDirectoryText();
    if (directory.empty()) {
        directory = RememberedFolder();
    }
    return FromProgramFolder(directory);
}

std::string GetDataDirectory() {
    if (KnownDataDirectory().empty()) {
        const std::string answer = AskForFolder(kChooseDataDirectoryTitle);
        if (!answer.empty()) {
            ChooseDataDirectory(answer);
        }
    }
    return FromProgramFolder(DataDirectoryText());
}

std::string SamplesFolder() {
    return SamplesFolderText();
}

std::string SetSamplesFolder(std::string folder) {
    return std::exchange(SamplesFolderText(), std::move(folder));
}

}  // namespace orva
