#include "browser/data_directory.h"

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

std::string GetDataDirectory() {
    std::string& directory = DataDirectoryText();
    if (directory.empty() && CurrentAsker()) {
        directory = CurrentAsker()(kChooseDataDirectoryTitle);
    }
    if (directory.empty() || directory.front() == '/') {
        return directory;
    }
    // GetModuleDirectory ends in "/", so "../OrvData" of the command-line flag lands beside
    // the program's folder.
    return GetModuleDirectory() + directory;
}

}  // namespace orva
