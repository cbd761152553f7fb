#include "e2e/SampleDatabase.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qelvo::e2e {

namespace {

constexpr TSampleTask Tasks[] = {
    {"Write report", "Work", "office", 2, 0, false},
    {"Call the bank", "Work", "phone", 1, 1, false},
    {"Plan the budget", "Work", "office,money", 0, 5, false},
    {"Old invoice", "Work", "money", 1, -3, true},
    {"Water the plants", "Home", "", 1, NoDue, false},
    {"Fix the tap", "Home", "diy", 2, -1, false},
    {"Paint the fence", "Home", "diy", 0, 12, false},
    {"Buy milk", "Shop", "food", 1, 0, false},
    {"Buy bread", "Shop", "food", 0, NoDue, true},
    {"Order a lamp", "Shop", "", 2, 2, false},
};

} // namespace

const TSampleTask* SampleTasks(int& count) {
    count = static_cast<int>(std::size(Tasks));
    return Tasks;
}

void WriteSampleDatabase(const TProgram& p) {
    const char sep = '\xF7';
    std::string file = "d_id-2718281828\r\n";
    int icon = 0;
    for (const char* list : {"Work", "Home", "Shop"})
        file += std::string(list) + sep + std::to_string(icon++) + sep + "\r\n";
    file += "<--<*&^Folders^&*>-->\r\n";
    for (const char* tag : {"diy", "food", "money", "office", "phone"}) file += std::string(tag) + "\r\n";
    file += "<--<*&^Tags^&*>-->\r\n";
    int id = 1;
    for (const TSampleTask& t : Tasks) {
        std::string line;
        if (t.Priority == 2) line += '+';
        if (t.Priority == 0) line += '-';
        if (t.DueInDays != NoDue) line += ";" + FileDate(t.DueInDays) + ";";
        if (*t.Tags) line += std::string("[") + t.Tags + "]";
        line += t.Title;
        char taskId[16];
        std::snprintf(taskId, sizeof taskId, "%010d", id++);
        line += sep + std::string(t.Done ? "-d-" : "--") + sep + taskId + sep + t.List + sep + FileDate(-10) + sep +
                sep + "\r\n";
        file += line;
    }
    CreateDirectoryA(p.PathOf("Data").c_str(), nullptr);
    WriteFile(p.DatabasePath(), file);
}

HWND StartWithSample(TProgram& p) {
    WriteSampleDatabase(p);
    p.Start();
    HWND main = p.Main();
    EXPECT_NE(main, nullptr) << "no main window over the sample database";
    return main;
}

} // namespace qelvo::e2e
