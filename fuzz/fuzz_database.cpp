// Fuzzes the task database reader and the quick-entry parser.
//
// Each input is read twice:
//   - as a database file (written to a temporary file and loaded); a file
//     that loads must write out as a file that loads back to the same
//     content;
//   - as quick-entry text; the task it gives must read back unchanged from
//     its database line, and the preset readers must not fail other than
//     by the conversion error they are allowed to raise.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

namespace {

std::string TempPath(const char* name) {
    return "/tmp/qelvo-fuzz-" + std::to_string(getpid()) + "-" + name;
}

// Removes the temporary files when the process ends.
struct TTempFiles {
    std::string Input = TempPath("in.kpx");
    std::string Output = TempPath("out.kpx");
    ~TTempFiles() {
        std::remove(Input.c_str());
        std::remove(Output.c_str());
    }
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_database: %s\n", what);
    std::abort();
}

bool IsMarkerText(const std::string& s) {
    return gcl::SameText(s, qelvo::FoldersMarker) || gcl::SameText(s, qelvo::TagsMarker);
}

// A database whose id, lists or tags hold a marker line reads back with
// another structure (the first marker wins); such files are not
// expected to round-trip.
bool HasPlainStructure(const qelvo::TuData& data) {
    if (IsMarkerText(data.DbId)) return false;
    for (int i = 0; i < data.Folders->GetCount(); ++i)
        if (IsMarkerText(data.Folders->GetRef(i))) return false;
    for (int i = 0; i < data.Tags->GetCount(); ++i)
        if (IsMarkerText(data.Tags->GetRef(i))) return false;
    return true;
}

void FuzzFile(const uint8_t* data, size_t size) {
    static const TTempFiles files;
    const std::string& input = files.Input;
    const std::string& output = files.Output;
    FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    qelvo::TuData db;
    if (!db.LoadFromFile(input)) {
        if (db.Tasks->GetCount() != 0 || !db.DbId.empty()) Fail("a failed load changed the database");
        return;
    }
    if (!HasPlainStructure(db)) return;
    // The text SaveToFile writes, written without its flush to the disk,
    // which would slow the fuzzer down a hundredfold.
    const std::string text = db.GetFileText();
    f = std::fopen(output.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    qelvo::TuData again;
    if (!again.LoadFromFile(output)) Fail("a saved file does not load");
    if (again.GetFileText() != text) Fail("a saved file reads back differently");
}

void FuzzQuickEntry(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qelvo::TuTask task(text, false, false);
    const std::string line = task.ToString("ind", true);
    if (line.find_first_of("\r\n") != std::string::npos) Fail("a task line holds a line break");
    qelvo::TuTask back(line, true, true);
    if (back.Title != task.Title) Fail("title changed");
    if (back.Tags != task.Tags) Fail("tags changed");
    if (back.Priority != task.Priority) Fail("priority changed");
    if (back.Id != task.Id) Fail("id changed");
    const double due = gcl::YearOf(task.Due) > 1901 ? std::trunc(task.Due) : 0;
    if (back.Due != due) Fail("due date changed");

    try {
        (void)qelvo::ParseDueToken(text);
    } catch (const gcl::EConvertError&) {
    }
    (void)qelvo::ParseTagsToken(text);
    std::string copy = text;
    qelvo::RemoveBetween(copy, "[", "]");
    (void)qelvo::NormalizeTagList(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The program's date formats.
    gcl::FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    gcl::FormatSettings().LongDateFormat = "dd/MM/yyyy";
    gcl::FormatSettings().DateSeparator = '/';
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzFile(data, size);
    FuzzQuickEntry(data, size);
    return 0;
}
