// Feeds arbitrary bytes to the rich-edit control's plain-text reader in
// both widths and with varied buffer sizes, as a note file a user hands the
// program would be read. Every character may become at most two, no read
// may report more than the buffer holds, and the sanitizers catch any write
// past it; the rich-text recogniser must keep the stream position.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/KitRichEditConversions.h"
#include "gcl/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t chunk = 2 + data[0] % 61;
    const bool wide = (data[1] & 1) != 0;
    data += 2;
    size -= 2;

    gcl::TMemoryStream stream;
    if (size) stream.WriteBuffer(data, static_cast<int32_t>(size));
    stream.SetPosition(0);
    qelvo::TKitRTFConversion::IsRichText(stream);
    if (stream.GetPosition() != 0) std::abort();

    qelvo::TKitTextConversion conversion;
    conversion.SetWide(wide);
    conversion.OpenStream(&stream);
    // The buffer is exactly as large as the reader is told.
    std::vector<uint8_t> buffer(static_cast<size_t>(chunk));
    size_t total = 0;
    for (;;) {
        int32_t count = conversion.ConvertRead(buffer.data(), chunk);
        if (count > chunk) std::abort();
        if (count <= 0) break;
        if (wide && count % 2 != 0) std::abort();
        total += static_cast<size_t>(count);
    }
    if (total > 2 * size) std::abort();
    return 0;
}
