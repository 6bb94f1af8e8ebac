#pragma once

#include <string>

#include "browser/data_directory.h"

namespace orva::test {

// Stands in for the user who is asked for the data directory: answers at once, so that no test
// can block on a folder dialog, and counts the questions.
struct CFolderQuestionStub {
    // Takes the asker's place with nothing asked yet and an empty answer (a cancel).
    void Install() {
        asked = 0;
        title.clear();
        answer.clear();
        SetFolderAsker([this](const std::string& question) {
            ++asked;
            title = question;
            return answer;
        });
    }

    int asked = 0;
    std::string title;   // of the last question
    std::string answer;  // to every question
};

}  // namespace orva::test
