// The wide string list loader: a file a user hands the program, read with
// its byte-order mark detected (UTF-16 LE or BE, UTF-8, else the 8-bit
// code page), as plain UTF-16 LE, or through a sorted list without
// duplicates. The first input byte picks the road, the rest is the file.
// A list that loaded saves with a mark and loads back to the same text.
// Any outcome but a gcl::Exception is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Streams.h"
#include "unicode/UniClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t road = data[0] % 3;
    gcl::TMemoryStream file;
    if (size > 1) file.WriteBuffer(data + 1, static_cast<int32_t>(size - 1));
    file.SetPosition(0);
    try {
        qelvo::TUniStringList list;
        if (road == 2) {
            list.SetSorted(true);
            list.SetDuplicates(gcl::dupIgnore);
        }
        if (road == 1)
            list.LoadFromStreamWithCharset(file, false);
        else
            list.LoadFromStream(file);
        gcl::TMemoryStream saved;
        list.SaveToStream(saved);
        saved.SetPosition(0);
        qelvo::TUniStringList again;
        again.LoadFromStream(saved);
        if (road != 2 && again.GetTextStr() != list.GetTextStr()) {
            std::fprintf(stderr, "fuzz_uni_strings: the saved list reads back differently\n");
            std::abort();
        }
        (void)list.GetAnsiStrings()->GetText();
    } catch (const gcl::Exception&) {
    }
    return 0;
}
