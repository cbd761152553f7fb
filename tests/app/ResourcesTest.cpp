#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <cstring>
#include <string>

namespace {

// The program file, built beside the tests.
std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string result(path);
    result.erase(result.find_last_of('\\') + 1);
    return result + "..\\src\\app\\qelvo.exe";
}

} // namespace

// The program carries its manifest and the cursors the class library
// loads by name; without them dragging would show a plain arrow.
TEST(ProgramResources, ManifestAndCursorsAreInTheProgramFile) {
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << ProgramPath();
    EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
    for (const char* name :
         {"GCL_DRAG", "GCL_MULTIDRAG", "GCL_NODROP", "GCL_HSPLIT", "GCL_VSPLIT", "CURSOR_HAND", "CURSOR_GRAB"}) {
        HRSRC group = FindResourceA(program, name, MAKEINTRESOURCEA(12));  // RT_GROUP_CURSOR
        ASSERT_NE(group, nullptr) << name;
        // One 32x32 image whose hot spot lies inside it.
        const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
        ASSERT_NE(dir, nullptr) << name;
        WORD count = 0;
        std::memcpy(&count, dir + 4, sizeof count);
        EXPECT_EQ(count, 1) << name;
        WORD id = 0;
        std::memcpy(&id, dir + 6 + 12, sizeof id);
        HRSRC image = FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(1));  // RT_CURSOR
        ASSERT_NE(image, nullptr) << name;
        const auto* bits = static_cast<const BYTE*>(LockResource(LoadResource(program, image)));
        WORD hotX = 0, hotY = 0;
        std::memcpy(&hotX, bits, sizeof hotX);
        std::memcpy(&hotY, bits + 2, sizeof hotY);
        EXPECT_LT(hotX, 32) << name;
        EXPECT_LT(hotY, 32) << name;
    }
    FreeLibrary(program);
}
