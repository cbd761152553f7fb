// Helpers the tests of the task database share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Streams.h"

namespace qelvo::test {

// The task line's separators as strings, to build lines with.
inline const std::string F(1, FieldSeparator);
inline const std::string N(1, NoteLineSeparator);

// The program's date settings: day/month/year with slashes.
inline gcl::TFormatSettings ProgramSettings() {
    gcl::TFormatSettings fs = gcl::DefaultFormatSettings();
    fs.ShortDateFormat = "dd/MM/yyyy";
    fs.LongDateFormat = "dd/MM/yyyy";
    fs.DateSeparator = '/';
    return fs;
}

// A memory stream's bytes.
inline std::vector<uint8_t> StreamBytes(gcl::TMemoryStream& s) {
    const uint8_t* p = static_cast<const uint8_t*>(s.GetMemory());
    return std::vector<uint8_t>(p, p + s.GetSize());
}

} // namespace qelvo::test
