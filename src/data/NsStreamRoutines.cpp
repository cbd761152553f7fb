#include "data/NsStreamRoutines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "gcl/rtl/Exceptions.h"

namespace qelvo {

// ============================================================================
// LZH (-lh5-)
// ============================================================================
//
// Stream layout, as every -lh5- decoder reads it. A sequence of blocks, each:
//   16 bits   number of character/length symbols in the block
//   the code-length code (alphabet NT = 19), as "pt" lengths (TBit = 5)
//   the character/length code (alphabet NC = 510), coded with the above
//   the position code (alphabet NP = 14), as "pt" lengths (PBit = 4)
//   the symbols: a character 0..255, or a length 256 + (len - 3) followed by
//   a position: the bit count c of (distance - 1), then its c - 1 low bits.
// An alphabet with a single used symbol is sent as a zero count followed by
// that symbol; its code then takes no bits. All codes are canonical Huffman
// codes of at most 16 bits.

namespace {

constexpr int DicBit = 13;
constexpr int DicSize = 1 << DicBit;
constexpr int MaxMatch = 256;
constexpr int Threshold = 3;
// Matches reach at most DicSize - 1 bytes back, which every decoder's
// window holds.
constexpr int MaxDistance = DicSize - 1;
constexpr int NC = 256 + MaxMatch - Threshold + 1;  // 510
constexpr int NP = DicBit + 1;                      // 14
constexpr int NT = 16 + 3;                          // 19
constexpr int CBit = 9;
constexpr int PBit = 4;
constexpr int TBit = 5;
constexpr int MaxCodeLength = 16;
// Symbols per block; the block header holds at most 65535.
constexpr int BlockSymbols = 0x4000;
constexpr int OutputPiece = 8192;

constexpr int HashBits = 15;
constexpr int HashSize = 1 << HashBits;
// Candidates examined per position; a cut-off that keeps long runs of
// similar text linear.
constexpr int MaxChain = 128;
// A match this long is taken without looking at the next byte's match.
constexpr int LazyLimit = 32;

struct THuffman {
    std::vector<uint8_t> Len;
    std::vector<uint16_t> Code;
    int Single = -1;  // the one symbol of a zero-bit code, else -1
};

struct TLzhState {
    gcl::TStream* Dest = nullptr;
    std::vector<uint8_t> Input;

    // Output bits, most significant first.
    std::vector<uint8_t> Out;
    uint64_t BitBuf = 0;
    int BitCount = 0;

    // Symbols of the current block: Sym < 256 a character, else a length
    // code whose position offset is in Offset.
    std::vector<uint16_t> Sym;
    std::vector<uint16_t> Offset;

    // Hash chains over three-byte prefixes; Prev is a ring of DicSize.
    std::vector<int32_t> Head;
    std::vector<int32_t> Prev;
};

TLzhState* GLzh = nullptr;

// --- bit output ---

void FlushOut(TLzhState& s) {
    if (!s.Out.empty()) {
        s.Dest->WriteBuffer(s.Out.data(), static_cast<int32_t>(s.Out.size()));
        s.Out.clear();
    }
}

void PutByte(TLzhState& s, uint8_t b) {
    s.Out.push_back(b);
    if (static_cast<int>(s.Out.size()) == OutputPiece) FlushOut(s);
}

void PutBits(TLzhState& s, int n, unsigned value) {
    if (n == 0) return;
    s.BitBuf = (s.BitBuf << n) | (value & ((1u << n) - 1));
    s.BitCount += n;
    while (s.BitCount >= 8) {
        s.BitCount -= 8;
        PutByte(s, static_cast<uint8_t>(s.BitBuf >> s.BitCount));
    }
    s.BitBuf &= (uint64_t(1) << s.BitCount) - 1;
}

void FlushBits(TLzhState& s) {
    if (s.BitCount > 0) PutBits(s, 8 - s.BitCount, 0);
    FlushOut(s);
}

// --- Huffman codes ---

// Optimal code lengths limited to maxLength bits (package-merge) for the
// symbols with a non-zero frequency. Sets h.Single when fewer than two
// symbols are used (the symbol, or 0 when none is).
void BuildCode(const std::vector<uint32_t>& freq, int maxLength, THuffman& h) {
    const int n = static_cast<int>(freq.size());
    h.Len.assign(n, 0);
    h.Code.assign(n, 0);
    h.Single = -1;

    std::vector<int> used;
    for (int i = 0; i < n; ++i)
        if (freq[i] > 0) used.push_back(i);
    if (used.size() < 2) {
        h.Single = used.empty() ? 0 : used[0];
        return;
    }
    std::stable_sort(used.begin(), used.end(),
                     [&](int a, int b) { return freq[a] < freq[b]; });
    const int m = static_cast<int>(used.size());

    struct TNode {
        uint64_t Weight;
        int32_t Left;   // -1 for a leaf
        int32_t Right;  // leaf: index into used
    };
    std::vector<TNode> pool;
    pool.reserve(static_cast<size_t>(m) * (maxLength + 1));
    for (int i = 0; i < m; ++i) pool.push_back({freq[used[i]], -1, i});

    std::vector<int32_t> current(m);
    for (int i = 0; i < m; ++i) current[i] = i;
    std::vector<int32_t> packages, merged;
    for (int level = 1; level < maxLength; ++level) {
        packages.clear();
        for (size_t k = 0; k + 1 < current.size(); k += 2) {
            pool.push_back({pool[current[k]].Weight + pool[current[k + 1]].Weight,
                            current[k], current[k + 1]});
            packages.push_back(static_cast<int32_t>(pool.size() - 1));
        }
        merged.clear();
        size_t a = 0, b = 0;
        while (a < static_cast<size_t>(m) || b < packages.size()) {
            if (b >= packages.size() ||
                (a < static_cast<size_t>(m) && pool[a].Weight <= pool[packages[b]].Weight))
                merged.push_back(static_cast<int32_t>(a++));
            else
                merged.push_back(packages[b++]);
        }
        current.swap(merged);
    }

    // Each time a symbol appears among the first 2m - 2 items (through
    // packages) its code grows by one bit.
    std::vector<int32_t> stack;
    for (int k = 0; k < 2 * m - 2; ++k) {
        stack.push_back(current[k]);
        while (!stack.empty()) {
            const TNode& node = pool[stack.back()];
            stack.pop_back();
            if (node.Left < 0) {
                ++h.Len[used[node.Right]];
            } else {
                stack.push_back(node.Left);
                stack.push_back(node.Right);
            }
        }
    }

    // Canonical codes: by length, then by symbol.
    std::array<unsigned, MaxCodeLength + 2> count{}, start{};
    for (int i = 0; i < n; ++i) ++count[h.Len[i]];
    count[0] = 0;
    start[1] = 0;
    for (int len = 1; len <= MaxCodeLength; ++len) start[len + 1] = (start[len] + count[len]) << 1;
    for (int i = 0; i < n; ++i)
        if (h.Len[i]) h.Code[i] = static_cast<uint16_t>(start[h.Len[i]]++);
}

void PutCode(TLzhState& s, const THuffman& h, int symbol) {
    PutBits(s, h.Len[symbol], h.Code[symbol]);
}

// A "pt" length table: a count of nbit bits, then each length as 3 bits
// (0..6) or as 7 + k written 111, k one bits, a zero bit. After the entry
// at index special - 1 come 2 bits: how many of the entries special ..
// special + 2 are zero and skipped.
void WritePtLengths(TLzhState& s, const THuffman& h, int nbit, int special) {
    int n = static_cast<int>(h.Len.size());
    while (n > 0 && h.Len[n - 1] == 0) --n;
    PutBits(s, nbit, static_cast<unsigned>(n));
    int i = 0;
    while (i < n) {
        const int k = h.Len[i++];
        if (k <= 6)
            PutBits(s, 3, static_cast<unsigned>(k));
        else
            PutBits(s, k - 3, (1u << (k - 3)) - 2);
        if (i == special) {
            while (i < 6 && h.Len[i] == 0) ++i;
            PutBits(s, 2, static_cast<unsigned>(i - special));
        }
    }
}

void WritePtTable(TLzhState& s, const THuffman& h, int nbit, int special) {
    if (h.Single >= 0) {
        PutBits(s, nbit, 0);
        PutBits(s, nbit, static_cast<unsigned>(h.Single));
    } else {
        WritePtLengths(s, h, nbit, special);
    }
}

// Runs of zero lengths in the character/length table use the code-length
// symbols 0 (one zero), 1 (3..18 zeros, 4 more bits) and 2 (20..NC zeros,
// CBit more bits); a length k is the symbol k + 2.
template <class Emit>
void WalkCLengths(const THuffman& c, Emit emit) {
    int n = NC;
    while (n > 0 && c.Len[n - 1] == 0) --n;
    int i = 0;
    while (i < n) {
        const int k = c.Len[i++];
        if (k != 0) {
            emit(k + 2, 0, 0);
            continue;
        }
        int count = 1;
        while (i < n && c.Len[i] == 0) {
            ++i;
            ++count;
        }
        if (count <= 2) {
            for (int j = 0; j < count; ++j) emit(0, 0, 0);
        } else if (count <= 18) {
            emit(1, 4, count - 3);
        } else if (count == 19) {
            emit(0, 0, 0);
            emit(1, 4, 15);
        } else {
            emit(2, CBit, count - 20);
        }
    }
}

int BitLength(unsigned v) {
    int bits = 0;
    while (v) {
        ++bits;
        v >>= 1;
    }
    return bits;
}

void SendBlock(TLzhState& s) {
    std::vector<uint32_t> cFreq(NC, 0), pFreq(NP, 0);
    for (size_t i = 0; i < s.Sym.size(); ++i) {
        ++cFreq[s.Sym[i]];
        if (s.Sym[i] >= 256) ++pFreq[BitLength(s.Offset[i])];
    }

    THuffman c, t, p;
    BuildCode(cFreq, MaxCodeLength, c);
    BuildCode(pFreq, MaxCodeLength, p);

    PutBits(s, 16, static_cast<unsigned>(s.Sym.size()));
    if (c.Single >= 0) {
        // Code-length code of the single symbol 0, then a character table
        // of the single symbol.
        PutBits(s, TBit, 0);
        PutBits(s, TBit, 0);
        PutBits(s, CBit, 0);
        PutBits(s, CBit, static_cast<unsigned>(c.Single));
    } else {
        std::vector<uint32_t> tFreq(NT, 0);
        WalkCLengths(c, [&](int sym, int, int) { ++tFreq[sym]; });
        BuildCode(tFreq, MaxCodeLength, t);
        WritePtTable(s, t, TBit, 3);
        int n = NC;
        while (n > 0 && c.Len[n - 1] == 0) --n;
        PutBits(s, CBit, static_cast<unsigned>(n));
        WalkCLengths(c, [&](int sym, int extraBits, int extra) {
            if (t.Single < 0) PutCode(s, t, sym);
            PutBits(s, extraBits, static_cast<unsigned>(extra));
        });
    }
    WritePtTable(s, p, PBit, -1);

    for (size_t i = 0; i < s.Sym.size(); ++i) {
        const int sym = s.Sym[i];
        if (c.Single < 0) PutCode(s, c, sym);
        if (sym >= 256) {
            const unsigned offset = s.Offset[i];
            const int bits = BitLength(offset);
            if (p.Single < 0) PutCode(s, p, bits);
            if (bits > 1) PutBits(s, bits - 1, offset);
        }
    }
    s.Sym.clear();
    s.Offset.clear();
}

void OutputSymbol(TLzhState& s, int sym, unsigned offset) {
    s.Sym.push_back(static_cast<uint16_t>(sym));
    s.Offset.push_back(static_cast<uint16_t>(offset));
    if (static_cast<int>(s.Sym.size()) == BlockSymbols) SendBlock(s);
}

inline unsigned Hash3(const uint8_t* p) {
    return ((unsigned(p[0]) << 10) ^ (unsigned(p[1]) << 5) ^ p[2]) & (HashSize - 1);
}

void Insert(TLzhState& s, int pos) {
    const int size = static_cast<int>(s.Input.size());
    if (pos + Threshold > size) return;
    const unsigned h = Hash3(&s.Input[pos]);
    s.Prev[pos & (DicSize - 1)] = s.Head[h];
    s.Head[h] = pos;
}

// The longest match for pos among earlier positions (not inserted yet):
// returns its length (0 when below Threshold) and sets distance.
int FindMatch(const TLzhState& s, int pos, int& distance) {
    const int size = static_cast<int>(s.Input.size());
    const int limit = std::min(MaxMatch, size - pos);
    if (limit < Threshold) return 0;
    const uint8_t* data = s.Input.data();
    int best = 0;
    int candidate = s.Head[Hash3(data + pos)];
    for (int tries = MaxChain; candidate >= 0 && tries > 0; --tries) {
        const int dist = pos - candidate;
        if (dist > MaxDistance) break;
        if (data[candidate + best] == data[pos + best]) {
            int len = 0;
            while (len < limit && data[candidate + len] == data[pos + len]) ++len;
            if (len > best) {
                best = len;
                distance = dist;
                if (len == limit) break;
            }
        }
        const int next = s.Prev[candidate & (DicSize - 1)];
        if (next >= candidate) break;
        candidate = next;
    }
    return best >= Threshold ? best : 0;
}

} // namespace

void LzhEncode() {
    if (!GLzh) throw gcl::EInvalidOperation("LzhEncode runs only inside LzhCompressStream");
    TLzhState& s = *GLzh;
    const int size = static_cast<int>(s.Input.size());

    // Greedy parsing with one step of lazy evaluation: a short match is
    // taken only when the match at the next byte is not longer.
    int pos = 0;
    int distance = 0;
    int length = FindMatch(s, pos, distance);
    while (pos < size) {
        Insert(s, pos);
        int nextDistance = 0;
        int nextLength = 0;
        if (length > 0 && length < LazyLimit && pos + 1 < size)
            nextLength = FindMatch(s, pos + 1, nextDistance);
        if (length == 0 || nextLength > length) {
            OutputSymbol(s, s.Input[pos], 0);
            ++pos;
            if (length == 0 && pos < size) {
                length = FindMatch(s, pos, distance);
            } else {
                length = nextLength;
                distance = nextDistance;
            }
            continue;
        }
        OutputSymbol(s, 256 + length - Threshold, static_cast<unsigned>(distance - 1));
        for (int k = 1; k < length; ++k) Insert(s, pos + k);
        pos += length;
        length = pos < size ? FindMatch(s, pos, distance) : 0;
    }
    // The last block; an empty input still sends one (empty) block.
    if (!s.Sym.empty() || size == 0) SendBlock(s);
    FlushBits(s);
}

void LzhCompressStream(gcl::TStream& source, gcl::TStream& dest) {
    const int64_t remaining = source.GetSize() - source.GetPosition();
    const int64_t count = remaining > 0 ? remaining : 0;
    if (count > std::numeric_limits<int32_t>::max())
        throw gcl::EWriteError("Stream too large to compress");

    TLzhState state;
    state.Dest = &dest;
    state.Input.resize(static_cast<size_t>(count));
    if (count > 0) source.ReadBuffer(state.Input.data(), static_cast<int32_t>(count));
    state.Out.reserve(OutputPiece);
    state.Head.assign(HashSize, -1);
    state.Prev.assign(DicSize, -1);
    state.Sym.reserve(BlockSymbols);
    state.Offset.reserve(BlockSymbols);

    const int32_t size32 = static_cast<int32_t>(count);
    uint8_t header[4];
    for (int i = 0; i < 4; ++i) header[i] = static_cast<uint8_t>(static_cast<uint32_t>(size32) >> (8 * i));
    dest.WriteBuffer(header, 4);

    struct TGuard {
        explicit TGuard(TLzhState* s) { GLzh = s; }
        ~TGuard() { GLzh = nullptr; }
    } guard(&state);
    LzhEncode();
}

// ============================================================================
// Blowfish
// ============================================================================

namespace {

// The initial tables are the hexadecimal fraction digits of pi: 18 P-array
// words, the four S-boxes, then 16 more P-array words. They are computed
// once with Machin's formula, pi = 16 atan(1/5) - 4 atan(1/239), in fixed
// point over 16-bit digits (so every step fits 32-bit arithmetic), and
// checked against known words and a checksum of the whole table.
constexpr int PiWords = 18 + 4 * 256 + 16;
constexpr int PiDigits = PiWords * 2 + 4;  // 16-bit fraction digits, 4 guard digits

using TBigFixed = std::vector<uint32_t>;  // [0] integer part, [1..] 16-bit fraction digits

// x := x / d; first is the index of the first non-zero digit (advanced).
void DivSmall(TBigFixed& x, uint32_t d, size_t& first) {
    uint32_t rem = 0;
    for (size_t i = first; i < x.size(); ++i) {
        const uint32_t cur = (rem << 16) | x[i];
        x[i] = cur / d;
        rem = cur % d;
    }
    while (first < x.size() && x[first] == 0) ++first;
}

void AddTo(TBigFixed& sum, const TBigFixed& x, size_t first) {
    uint32_t carry = 0;
    for (size_t i = x.size(); i-- > first;) {
        const uint32_t v = sum[i] + x[i] + carry;
        sum[i] = v & 0xFFFF;
        carry = v >> 16;
    }
    for (size_t i = first; carry && i-- > 0;) {
        const uint32_t v = sum[i] + carry;
        sum[i] = v & 0xFFFF;
        carry = v >> 16;
    }
}

void SubFrom(TBigFixed& sum, const TBigFixed& x, size_t first) {
    uint32_t borrow = 0;
    for (size_t i = x.size(); i-- > first;) {
        const uint32_t sub = x[i] + borrow;
        borrow = sum[i] < sub ? 1 : 0;
        sum[i] = (sum[i] + (borrow << 16) - sub) & 0xFFFF;
    }
    for (size_t i = first; borrow && i-- > 0;) {
        borrow = sum[i] == 0 ? 1 : 0;
        sum[i] = (sum[i] + (borrow << 16) - 1) & 0xFFFF;
    }
}

// multiplier * atan(1 / x)
TBigFixed ArcTanInverse(uint32_t x, uint32_t multiplier) {
    TBigFixed sum(PiDigits + 1, 0), term(PiDigits + 1, 0), part(PiDigits + 1, 0);
    term[0] = multiplier;
    size_t first = 0;
    DivSmall(term, x, first);
    sum = term;
    const uint32_t x2 = x * x;
    for (uint32_t k = 1; first < term.size(); ++k) {
        DivSmall(term, x2, first);
        if (first >= term.size()) break;
        std::copy(term.begin() + static_cast<std::ptrdiff_t>(first), term.end(),
                  part.begin() + static_cast<std::ptrdiff_t>(first));
        size_t partFirst = first;
        DivSmall(part, 2 * k + 1, partFirst);
        if (k & 1)
            SubFrom(sum, part, first);
        else
            AddTo(sum, part, first);
        std::fill(part.begin() + static_cast<std::ptrdiff_t>(first), part.end(), 0u);
    }
    return sum;
}

// FNV-1a over the words, little-endian byte order.
uint32_t TableChecksum(const std::vector<uint32_t>& words) {
    uint32_t h = 2166136261u;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) {
            h ^= (w >> (8 * i)) & 0xFF;
            h *= 16777619u;
        }
    return h;
}

// FNV-1a of all PiWords words, also computed by an independent big-integer
// evaluation of the same formula.
constexpr uint32_t PiChecksum = 0xD963AC90u;

TBlowfishTables ComputeInitialTables() {
    TBigFixed pi = ArcTanInverse(5, 16);
    SubFrom(pi, ArcTanInverse(239, 4), 0);
    std::vector<uint32_t> words(PiWords);
    for (int i = 0; i < PiWords; ++i) words[i] = (pi[1 + 2 * i] << 16) | pi[2 + 2 * i];

    const bool ok = pi[0] == 3 && words[0] == 0x243F6A88u && words[17] == 0x8979FB1Bu &&
                    words[18] == 0xD1310BA6u && words[18 + 1023] == 0x3AC372E6u &&
                    TableChecksum(words) == PiChecksum;
    gcl::Assert(ok, "Blowfish initial tables are wrong", "NsStreamRoutines");

    TBlowfishTables t{};
    for (int i = 0; i < 18; ++i) t.P[i] = words[i];
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 256; ++i) t.S[b][i] = words[18 + 256 * b + i];
    for (int i = 0; i < 16; ++i) t.P[18 + i] = words[18 + 1024 + i];
    return t;
}

// The working state: one key at a time.
TBlowfishTables GWork;
int GRounds = 16;
bool GReady = false;

inline uint32_t F(uint32_t x) {
    return ((GWork.S[0][x >> 24] + GWork.S[1][(x >> 16) & 0xFF]) ^ GWork.S[2][(x >> 8) & 0xFF]) +
           GWork.S[3][x & 0xFF];
}

void EnsureReady() {
    if (!GReady) BlowfishReset();
}

inline uint32_t LoadLE(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void StoreLE(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace

const TBlowfishTables& BlowfishInitialTables() {
    static const TBlowfishTables tables = ComputeInitialTables();
    return tables;
}

void BlowfishReset() {
    GWork = BlowfishInitialTables();
    GRounds = 16;
    GReady = true;
}

void BlowfishEncryptBlock(uint32_t& left, uint32_t& right) {
    EnsureReady();
    uint32_t l = left, r = right;
    for (int i = 0; i < GRounds; ++i) {
        l ^= GWork.P[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= GWork.P[GRounds];
    l ^= GWork.P[GRounds + 1];
    left = l;
    right = r;
}

bool BlowfishInit(const void* key, size_t keyLength, const TBlowfishTables* tables, int rounds) {
    GWork = tables ? *tables : BlowfishInitialTables();
    GRounds = (rounds >= 2 && rounds <= BlowfishMaxRounds) ? (rounds + 1) & ~1 : 16;
    GReady = true;
    if (!key || keyLength == 0) return false;

    const uint8_t* k = static_cast<const uint8_t*>(key);
    size_t j = 0;
    for (int i = 0; i < GRounds + 2; ++i) {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b) {
            word = (word << 8) | k[j];
            j = (j + 1) % keyLength;
        }
        GWork.P[i] ^= word;
    }

    uint32_t l = 0, r = 0;
    for (int i = 0; i < GRounds + 2; i += 2) {
        BlowfishEncryptBlock(l, r);
        GWork.P[i] = l;
        GWork.P[i + 1] = r;
    }
    for (auto& box : GWork.S)
        for (int i = 0; i < 256; i += 2) {
            BlowfishEncryptBlock(l, r);
            box[i] = l;
            box[i + 1] = r;
        }

    for (const auto& box : GWork.S) {
        std::array<uint32_t, 256> sorted;
        std::copy(std::begin(box), std::end(box), sorted.begin());
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return false;
    }
    return true;
}

bool BlowfishInitKey(const std::string& key) {
    return BlowfishInit(key.data(), key.size(), nullptr, 16);
}

void BlowfishEncryptBuffer(void* buffer, size_t size) {
    uint8_t* p = static_cast<uint8_t*>(buffer);
    for (size_t blocks = size / 8; blocks > 0; --blocks, p += 8) {
        uint32_t l = LoadLE(p), r = LoadLE(p + 4);
        BlowfishEncryptBlock(l, r);
        StoreLE(p, l);
        StoreLE(p + 4, r);
    }
}

void PadStream(gcl::TMemoryStream& stream) {
    const int64_t size = stream.GetSize();
    const int pad = 8 - static_cast<int>((size + 1) % 8);
    uint8_t tail[9];
    std::memset(tail, 0x01, sizeof tail);
    tail[pad] = static_cast<uint8_t>(pad);
    stream.Seek(0, gcl::soEnd);
    stream.WriteBuffer(tail, pad + 1);
}

bool EncryptStream(gcl::TMemoryStream& stream, const std::string& key) {
    if (stream.GetSize() == 0) return false;
    if (!BlowfishInitKey(key)) return false;
    PadStream(stream);
    BlowfishEncryptBuffer(stream.GetMemory(), static_cast<size_t>(stream.GetSize()));
    return true;
}

} // namespace qelvo
