// A database of tens of thousands of tasks, written as the program writes
// it, for the scenarios that drive the program at that size.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "data/uDataMan.h"
#include "e2e/E2eDriver.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

inline const char* const BigLists[] = {"Inbox", "Work", "Home", "Errands", "Projects", "Someday"};
inline const char* const BigTags[] = {"work", "home", "urgent", "shop", "phone", "mail", "bills", "car", "kids", "gym"};

// Count tasks "Task 000000" ... spread over six lists in turn, with zero
// to two different tags, every other one with a due date, every third with a note,
// every fourth done, the priorities in turn.
inline void WriteBigDatabase(const std::string& path, int count) {
    MakeFolderOf(path);
    TuData data;
    data.DbId = "d_id-2468013579";
    int icon = 0;
    for (const char* list : BigLists) data.Folders->Add(std::string(list) + "\xF7" + std::to_string(icon++) + "\xF7");
    for (const char* tag : BigTags) data.Tags->Add(tag);
    uint32_t random = 7;
    auto below = [&random](int n) {
        random = random * 1664525u + 1013904223u;
        return int((random >> 8) % unsigned(n));
    };
    for (int n = 0; n < count; ++n) {
        auto* task = new TuTask();
        char text[32];
        std::snprintf(text, sizeof text, "Task %06d", n);
        task->Title = std::string(text);
        task->Folder = std::string(BigLists[n % 6]);
        std::string tags;
        for (int k = below(3), first = -1; k > 0; --k) {
            int tag = below(10);
            if (tag == first) tag = (tag + 1) % 10;    // two different tags
            first = tag;
            tags += (tags.empty() ? "" : ",") + std::string(BigTags[tag]);
        }
        task->Tags = tags;
        std::snprintf(text, sizeof text, "%010d", n + 1);
        task->Id = std::string(text);
        if (n % 3 == 0) task->Notes = std::string("First line\r\nSecond line\r\n");
        task->Done = n % 4 == 0;
        task->Due = n % 2 ? gcl::EncodeDate(2031, 1, 1) + below(700) : 0;
        task->Created = gcl::EncodeDate(2025, 1, 1);
        task->Priority = uint8_t(n % 3);
        data.Tasks->AddObject(task->Title, task);
    }
    ASSERT_TRUE(data.SaveToFile(path));
}

// How many tasks of a database file are done, and in each list (Tasks
// is -1 when it cannot be read).
struct TFileCounts {
    int Tasks = -1;
    int Done = 0;
    std::map<std::string, int> Lists;
};
inline TFileCounts CountsIn(const std::string& path) {
    TFileCounts counts;
    TuData data;
    if (!data.LoadFromFile(path)) return counts;
    counts.Tasks = data.Tasks->GetCount();
    for (int i = 0; i < counts.Tasks; ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        counts.Done += task->Done ? 1 : 0;
        counts.Lists[std::string(task->Folder)]++;
    }
    return counts;
}

// A database of one list, "Work", whose tag table holds Tags tags ("t0"
// ...), and Count tasks each carrying one of the first of them ("Task 0"
// has "t0"): grouped by tags, a group a task.
inline void WriteTagPerTaskDatabase(const std::string& path, int count, int tags) {
    MakeFolderOf(path);
    TuData data;
    data.Folders->Add("Work\xF7" "0\xF7");
    for (int n = 0; n < tags; ++n) data.Tags->Add("t" + std::to_string(n));
    for (int n = 0; n < count; ++n) {
        auto* task = new TuTask();
        task->Title = "Task " + std::to_string(n);
        task->Folder = std::string("Work");
        task->Tags = "t" + std::to_string(n);
        data.Tasks->AddObject(task->Title, task);
    }
    ASSERT_TRUE(data.SaveToFile(path));
}

// Starts the program on a big database of Count tasks; its main window
// (nullptr when none came).
inline HWND StartOnBigDatabase(TProgram& p, int count) {
    WriteBigDatabase(p.DatabasePath(), count);
    if (::testing::Test::HasFatalFailure()) return nullptr;
    p.Start();
    return p.Main(30000);
}

// A task line of the file: its short form, in List, numbered Id.
inline std::string TaskLineOf(const std::string& shortForm, const std::string& list, int id, const std::string& note = "") {
    const std::string sep = "\xF7";
    char number[16];
    std::snprintf(number, sizeof number, "%010d", id);
    return shortForm + sep + "--" + sep + number + sep + list + sep + "1/2/2025" + sep + note + sep + "\r\n";
}

// A database of Lists lists ("List 0" ...) and Tags tags ("tag0" ...), with
// one task in List 0 carrying the first TaskTags tags and one without.
inline std::string CrowdedDatabase(int lists, int tags, int taskTags) {
    const std::string sep = "\xF7";
    std::string db = "d_id-0123456789\r\n";
    for (int i = 0; i < lists; ++i) db += "List " + std::to_string(i) + sep + std::to_string(i % 20) + sep + "\r\n";
    db += "<--<*&^Folders^&*>-->\r\n";
    for (int i = 0; i < tags; ++i) db += "tag" + std::to_string(i) + "\r\n";
    db += "<--<*&^Tags^&*>-->\r\n";
    std::string list;
    for (int i = 0; i < taskTags; ++i) list += (i ? "," : "") + std::string("tag") + std::to_string(i);
    db += TaskLineOf("[" + list + "]Many tags", "List 0", 1);
    db += TaskLineOf("No tags", "List 0", 2);
    return db;
}

// Starts the program on CrowdedDatabase; its main window.
inline HWND StartOnCrowded(TProgram& p, int lists, int tags, int taskTags) {
    WriteFile(p.DatabasePath(), CrowdedDatabase(lists, tags, taskTags));
    p.Start();
    return p.Main();
}

} // namespace qelvo::e2e
