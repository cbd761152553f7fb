// Compression and encryption of named-stream container bodies.
//
// LZH: the LHA "-lh5-" method, an 8 KiB sliding dictionary (matches of
// 3 to 256 bytes) with static Huffman coding per block, bits written most
// significant first. LzhCompressStream writes a signed 32-bit little-endian
// uncompressed size, then the bit stream; any -lh5- decoder given that size
// restores the input. Only the compressor exists.
//
// Blowfish: ECB over whole 8-byte blocks, in place. In a buffer the first
// four bytes of a block are the left half and the next four the right half,
// each little-endian; key bytes enter the P-array big-endian. Only
// encryption exists.
//
// Both keep their working state at unit level: one compression and one key
// at a time, from the main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "gcl/rtl/Streams.h"

namespace qelvo {

// ---- LZH ------------------------------------------------------------------

// Writes the size of source from its position to its end, then that data
// compressed, to dest. Raises EWriteError for a source over 2 GiB - 1
// and EReadError when the source delivers less than its size claims.
void LzhCompressStream(gcl::TStream& source, gcl::TStream& dest);
// The encode loop over the state LzhCompressStream sets up; raises
// EInvalidOperation when called outside LzhCompressStream.
void LzhEncode();

// ---- Blowfish ---------------------------------------------------------------

constexpr int BlowfishMaxRounds = 32;

// A set of Blowfish tables: the P-array (room for 32 rounds + 2) and the
// four S-boxes.
struct TBlowfishTables {
    uint32_t P[BlowfishMaxRounds + 2];
    uint32_t S[4][256];
};

// The built-in initial tables: P[0..17] and the S-boxes are the standard
// Blowfish values (the hexadecimal fraction digits of pi, in order);
// P[18..33], used only by more than 16 rounds, continue those digits.
const TBlowfishTables& BlowfishInitialTables();

// Key schedule. tables null means the built-in initial tables. rounds 2..32
// is rounded up to even; any other value gives 16. Returns false for a weak
// key (two equal words in one S-box) and for an empty key.
bool BlowfishInit(const void* key, size_t keyLength, const TBlowfishTables* tables = nullptr,
                  int rounds = 16);
// BlowfishInit with the bytes of key, the built-in tables and 16 rounds.
bool BlowfishInitKey(const std::string& key);
// Working tables := the built-in initial tables; 16 rounds.
void BlowfishReset();
// Encrypts one block with the current key and round count.
void BlowfishEncryptBlock(uint32_t& left, uint32_t& right);
// Encrypts size / 8 whole blocks of buffer in place, in order; a trailing
// partial block is left as it is.
void BlowfishEncryptBuffer(void* buffer, size_t size);

// Appends pad = 8 - ((size + 1) mod 8) bytes of 0x01, then one byte holding
// pad, so the size becomes a multiple of 8.
void PadStream(gcl::TMemoryStream& stream);
// Pads and encrypts the whole stream in place with key. Returns true when
// it did; false (stream unchanged) for an empty stream or a rejected key.
bool EncryptStream(gcl::TMemoryStream& stream, const std::string& key);

} // namespace qelvo
