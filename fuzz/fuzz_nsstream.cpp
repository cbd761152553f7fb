// Feeds arbitrary bytes to the container writer and its body coders: the
// input is split into item names, item data, flags and a key. Checks the
// framing invariants; the sanitizers catch any memory fault in the match
// finder, the Huffman coder or the cipher.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/NsStreamCol.h"
#include "data/NsStreamRoutines.h"
#include "gcl/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    ++data;
    --size;

    // The whole input through the compressor: the size prefix must match.
    {
        gcl::TMemoryStream src, dst;
        if (size) src.WriteBuffer(data, static_cast<int32_t>(size));
        src.Seek(0, gcl::soBeginning);
        qelvo::LzhCompressStream(src, dst);
        const uint8_t* out = static_cast<const uint8_t*>(dst.GetMemory());
        const uint32_t stored = uint32_t(out[0]) | uint32_t(out[1]) << 8 | uint32_t(out[2]) << 16 |
                                uint32_t(out[3]) << 24;
        if (dst.GetSize() < 4 || stored != size) std::abort();
    }

    // Items: chunks separated by 0xFF; each chunk's first byte counts the
    // name bytes that follow it.
    qelvo::TNsStreams* c = qelvo::TNsStreams::Create(nullptr);
    size_t pos = 0;
    while (pos < size) {
        size_t end = pos;
        while (end < size && data[end] != 0xFF) ++end;
        if (end > pos) {
            const size_t nameStart = pos + 1;
            const size_t nameEnd = std::min<size_t>(nameStart + data[pos] % 16, end);
            std::string name(reinterpret_cast<const char*>(data + nameStart), nameEnd - nameStart);
            gcl::TMemoryStream item;
            if (end > nameEnd) item.WriteBuffer(data + nameEnd, static_cast<int32_t>(end - nameEnd));
            c->AddStream(name, &item);
        }
        pos = end + 1;
    }
    c->SetCompressed(flags & 1);
    c->SetEncrypted(flags & 2);
    c->SetKey(std::string(reinterpret_cast<const char*>(data), std::min<size_t>(size, (flags >> 2) % 60)));
    gcl::TMemoryStream out;
    c->SaveToStream(out);
    const uint8_t* bytes = static_cast<const uint8_t*>(out.GetMemory());
    if (out.GetSize() < 2 + (c->GetCompressed() ? 4 : 12)) std::abort();
    if (bytes[1] == '*' && (out.GetSize() - 2) % 8 != 0) std::abort();
    if (bytes[0] != (c->GetCompressed() ? '&' : ' ')) std::abort();
    c->Free();
    return 0;
}
