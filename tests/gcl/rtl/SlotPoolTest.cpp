// The slot pool: slots of the asked size, reused after they are given back,
// blocks returned to the system once empty (one kept, more while held), safe use from
// several threads, and whole blocks taken at once with a mark per slot and
// the owner's data per block.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "gcl/rtl/SlotPool.h"
#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

using namespace gcl;

namespace {

TEST(SlotPoolTest, SlotsAreAlignedDistinctAndWritable) {
    TSlotPool pool(40);
    EXPECT_GE(pool.SlotSize(), 40u);
    EXPECT_EQ(pool.SlotSize() % alignof(std::max_align_t), 0u);
    EXPECT_GE(TSlotPool(1).SlotSize(), sizeof(void*));
    // A smaller alignment packs slots tighter, never below a pointer's.
    EXPECT_EQ(TSlotPool(72, 8).SlotSize(), 72u);
    EXPECT_EQ(TSlotPool(44, 4).SlotSize(), sizeof(void*) == 8 ? 48u : 44u);
    {
        TSlotPool packed(72, 8);
        void* a = packed.Take();
        void* b = packed.Take();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 8, 0u);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % 8, 0u);
        packed.Give(a);
        packed.Give(b);
    }
    std::vector<void*> slots;
    std::set<std::uintptr_t> seen;
    for (int i = 0; i < 5000; ++i) {
        void* slot = pool.Take();
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(slot) % alignof(std::max_align_t), 0u);
        std::memset(slot, i & 0xFF, 40);
        seen.insert(reinterpret_cast<std::uintptr_t>(slot));
        slots.push_back(slot);
    }
    EXPECT_EQ(seen.size(), slots.size());
    // No slot overlaps the next one: each still holds what was written.
    for (size_t i = 0; i < slots.size(); ++i) {
        const auto* bytes = static_cast<const unsigned char*>(slots[i]);
        ASSERT_EQ(bytes[0], i & 0xFF);
        ASSERT_EQ(bytes[39], i & 0xFF);
    }
    if (TSlotPool::Pooled) {
        // 5,000 slots of 48 bytes fill a few 64 KB blocks, not thousands.
        EXPECT_LE(pool.BlockCount(), 5000 * pool.SlotSize() / (TSlotPool::BlockSize / 2));
    }
    pool.GiveMany(slots.data(), slots.size());
    pool.Give(nullptr);

    // Many at once: distinct slots again.
    std::vector<void*> many(3000);
    pool.TakeMany(many.data(), many.size());
    const std::set<void*> distinct(many.begin(), many.end());
    EXPECT_EQ(distinct.size(), many.size());
    EXPECT_EQ(distinct.count(nullptr), 0u);
    pool.GiveMany(many.data(), many.size());
}

TEST(SlotPoolTest, GivenSlotsAreTakenAgainAndEmptyBlocksGoBack) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    TSlotPool pool(200);
    std::vector<void*> slots;
    for (int i = 0; i < 2000; ++i) slots.push_back(pool.Take());
    const size_t full = pool.BlockCount();
    EXPECT_GE(full, 2000 * pool.SlotSize() / TSlotPool::BlockSize);
    // A slot given back is the next one taken.
    void* middle = slots[1000];
    pool.Give(middle);
    EXPECT_EQ(pool.Take(), middle);
    // Giving back everything leaves one empty block for the next slot.
    for (void* slot : slots) pool.Give(slot);
    EXPECT_EQ(pool.BlockCount(), 1u);
    void* again = pool.Take();
    EXPECT_EQ(pool.BlockCount(), 1u);
    pool.Give(again);
    // Taking and giving back one slot over and over keeps one block.
    for (int i = 0; i < 1000; ++i) pool.Give(pool.Take());
    EXPECT_EQ(pool.BlockCount(), 1u);
}

TEST(SlotPoolTest, AHeldPoolKeepsEmptiedBlocksForTheNextSlots) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    TSlotPool pool(72, 8);
    std::vector<void*> slots(3000);
    pool.TakeMany(slots.data(), slots.size());
    const size_t full = pool.BlockCount();
    ASSERT_GT(full, 2u);
    std::set<void*> before(slots.begin(), slots.end());
    pool.Hold();
    pool.Hold();
    // Given back one by one and all at once: every block stays.
    for (size_t i = 0; i < 1000; ++i) pool.Give(slots[i]);
    pool.GiveMany(slots.data() + 1000, slots.size() - 1000);
    EXPECT_EQ(pool.BlockCount(), full);
    // The same number taken again comes from the blocks kept.
    pool.TakeMany(slots.data(), slots.size());
    EXPECT_EQ(pool.BlockCount(), full);
    EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()), before);
    pool.GiveMany(slots.data(), slots.size());
    // The inner release keeps the hold; the outer one gives back all empty
    // blocks but one (no block is in use).
    pool.Release();
    EXPECT_EQ(pool.BlockCount(), full);
    pool.Release();
    EXPECT_EQ(pool.BlockCount(), 1u);
    pool.Release();  // an extra release changes nothing
    EXPECT_EQ(pool.BlockCount(), 1u);

    // A list made again smaller keeps as many empty blocks as it uses.
    pool.TakeMany(slots.data(), slots.size());
    pool.Hold();
    pool.GiveMany(slots.data(), slots.size());
    const size_t small = 600;
    pool.TakeMany(slots.data(), small);
    pool.Release();
    const size_t used = (small + pool.SlotsPerBlock() - 1) / pool.SlotsPerBlock();
    EXPECT_EQ(pool.BlockCount(), std::min(full, 2 * used));
    for (size_t i = 0; i < small; ++i) static_cast<char*>(slots[i])[0] = 1;  // still writable
    pool.GiveMany(slots.data(), small);
    // Without a hold the pool gives blocks back as before.
    EXPECT_LE(pool.BlockCount(), 2 * used);
    pool.TakeMany(slots.data(), slots.size());
    pool.GiveMany(slots.data(), slots.size());
    EXPECT_EQ(pool.BlockCount(), 1u);
}

TEST(SlotPoolTest, ABlockEmptiedSlotBySlotHandsItsSlotsOutInOrderAgain) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    // Objects made together lie together: a block whose slots all came
    // back, in any order, one by one, gives them out again from its start
    // (while held, and as the one block kept), and a block still in use
    // reuses only the slots given back.
    TSlotPool pool(40);
    const size_t per = pool.SlotsPerBlock();
    std::vector<void*> slots(per);
    pool.TakeMany(slots.data(), per);
    const std::vector<void*> inOrder = slots;
    std::sort(slots.begin(), slots.end());
    ASSERT_EQ(slots, inOrder);  // a new block gives its slots in order
    for (bool held : {true, false}) {
        if (held) pool.Hold();
        // Given back shuffled: odd places first, then even ones from the end.
        for (size_t i = 1; i < per; i += 2) pool.Give(slots[i]);
        for (size_t i = per; i-- > 0;)
            if (i % 2 == 0) pool.Give(slots[i]);
        std::vector<void*> again(per);
        for (void*& slot : again) slot = pool.Take();
        EXPECT_EQ(again, inOrder) << (held ? "held" : "kept");
        if (held) pool.Release();
    }
    // A slot given back to a block in use is the next one taken.
    pool.Give(slots[5]);
    pool.Give(slots[2]);
    EXPECT_EQ(pool.Take(), slots[2]);
    EXPECT_EQ(pool.Take(), slots[5]);
    pool.GiveMany(slots.data(), per);
    EXPECT_EQ(pool.BlockCount(), 1u);
}

TEST(SlotPoolTest, WholeBlocksComeMarkedAndGoBackAtOnce) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    TSlotPool pool(120, 8, TSlotExtras{true, 40});
    EXPECT_EQ(pool.SlotSize(), 120u);
    void* loose = pool.Take();
    EXPECT_FALSE(pool.Marked(loose));

    // Every slot of an empty block (not the one the loose slot is in),
    // side by side, each marked, with the block's data zero.
    std::size_t count = 0;
    char* first = static_cast<char*>(pool.TakeBlock(count));
    ASSERT_EQ(count, pool.SlotsPerBlock());
    EXPECT_GE(count * pool.SlotSize(), TSlotPool::BlockSize * 9 / 10);
    EXPECT_EQ(pool.BlockCount(), 2u);
    const char* data = static_cast<const char*>(pool.BlockData(first));
    EXPECT_TRUE(std::all_of(data, data + 40, [](char c) { return c == 0; }));
    std::vector<void*> slots;
    for (std::size_t i = 0; i < count; ++i) {
        char* slot = first + i * pool.SlotSize();
        ASSERT_EQ(pool.SlotIndex(slot), i);
        ASSERT_TRUE(pool.Marked(slot));
        ASSERT_EQ(pool.BlockData(slot), data);
        std::memset(slot, 0x5A, pool.SlotSize());
        slots.push_back(slot);
    }
    std::memset(pool.BlockData(first), 0x33, 40);  // the owner's, not the slots'
    EXPECT_EQ(static_cast<unsigned char>(first[0]), 0x5A);
    EXPECT_EQ(static_cast<unsigned char>(first[(count - 1) * pool.SlotSize() + 119]), 0x5A);

    // Owns knows the slots' bytes, and nothing else.
    EXPECT_TRUE(pool.Owns(first + 7));
    EXPECT_TRUE(pool.Owns(loose));
    int local = 0;
    EXPECT_FALSE(pool.Owns(&local));
    EXPECT_FALSE(pool.Owns(data));
    EXPECT_FALSE(pool.Owns(slots.data()));

    // Unmark takes the mark off the slot holding any of its bytes; other
    // addresses are ignored.
    pool.Unmark(first + 3 * pool.SlotSize() + 50);
    pool.Unmark(&local);
    pool.Unmark(data);
    EXPECT_FALSE(pool.Marked(slots[3]));
    EXPECT_TRUE(pool.Marked(slots[2]));
    EXPECT_TRUE(pool.Marked(slots[4]));

    // A slot given back loses its mark and is the next taken, unmarked.
    pool.Give(slots[10]);
    void* again = pool.Take();
    EXPECT_EQ(again, slots[10]);
    EXPECT_FALSE(pool.Marked(again));

    // All of a block's taken slots given back together: the block is empty
    // (kept as the spare), and the next whole block is that one, marked
    // and with its data zero again.
    pool.GiveMany(slots.data(), slots.size());
    EXPECT_EQ(pool.BlockCount(), 2u);
    pool.Give(loose);
    EXPECT_EQ(pool.BlockCount(), 1u);
    std::size_t count2 = 0;
    char* first2 = static_cast<char*>(pool.TakeBlock(count2));
    EXPECT_EQ(count2, count);
    EXPECT_TRUE(pool.Marked(first2 + 3 * pool.SlotSize()));
    data = static_cast<const char*>(pool.BlockData(first2));
    EXPECT_TRUE(std::all_of(data, data + 40, [](char c) { return c == 0; }));

    // Part of a block given back: the rest stays taken; what is given back
    // is handed out again, each slot once.
    std::vector<void*> half;
    for (std::size_t i = 0; i < count2; i += 2) half.push_back(first2 + i * pool.SlotSize());
    pool.GiveMany(half.data(), half.size());
    EXPECT_TRUE(pool.Marked(first2 + pool.SlotSize()));
    EXPECT_FALSE(pool.Marked(first2));
    std::vector<void*> retaken(half.size());
    pool.TakeMany(retaken.data(), retaken.size());
    EXPECT_EQ(std::set<void*>(retaken.begin(), retaken.end()), std::set<void*>(half.begin(), half.end()));
    EXPECT_EQ(pool.BlockCount(), 1u);
    // Mixed with slots of another block and null entries, given back in
    // one call.
    std::vector<void*> all;
    for (std::size_t i = 0; i < count2; ++i) all.push_back(first2 + i * pool.SlotSize());
    all.insert(all.begin() + 5, nullptr);
    all.push_back(pool.Take());
    all.push_back(nullptr);
    pool.GiveMany(all.data(), all.size());
    EXPECT_EQ(pool.BlockCount(), 1u);
}

TEST(SlotPoolTest, MarksAreKeptApartBetweenThreads) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    // Two threads unmark and give back neighbouring slots of one block.
    TSlotPool pool(24, 8, TSlotExtras{true, 0});
    std::size_t count = 0;
    char* first = static_cast<char*>(pool.TakeBlock(count));
    auto work = [&](std::size_t parity) {
        for (std::size_t i = parity; i < count; i += 2) {
            char* slot = first + i * pool.SlotSize();
            if (i % 4 < 2)
                pool.Unmark(slot);
            else
                pool.Give(slot);
        }
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    for (std::size_t i = 0; i < count; ++i) ASSERT_FALSE(pool.Marked(first + i * pool.SlotSize())) << i;
    for (std::size_t i = 0; i < count; ++i)
        if (i % 4 < 2) pool.Give(first + i * pool.SlotSize());
    EXPECT_EQ(pool.BlockCount(), 1u);
}

TEST(SlotPoolTest, SystemBlocksAreAlignedAndGoBackToTheSystem) {
    // Blocks given back together go back to the system (on Windows a
    // reservation of several blocks goes once its last block does).
    std::vector<char*> blocks;
    for (int i = 0; i < 40; ++i) {
        auto* block = static_cast<char*>(AllocateSlotBlock());
        ASSERT_NE(block, nullptr);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % TSlotPool::BlockSize, 0u);
        std::memset(block, i, TSlotPool::BlockSize);
        blocks.push_back(block);
    }
    EXPECT_EQ(std::set<char*>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(blocks[i][0], static_cast<char>(i));
        ASSERT_EQ(blocks[i][TSlotPool::BlockSize - 1], static_cast<char>(i));
    }
    for (char* block : blocks) FreeSlotBlock(block);
#ifdef _WIN32
    // Other blocks of the process may share a reservation with the first
    // or last few; most of these are gone.
    int released = 0;
    for (char* block : blocks) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(block, &info, sizeof info) && info.State == MEM_FREE) ++released;
    }
    EXPECT_GE(released, 20);
#endif
}

TEST(SlotPoolTest, OversizedSlotsAreRefused) {
    EXPECT_THROW(TSlotPool(TSlotPool::BlockSize), std::bad_alloc);
}

TEST(SlotPoolTest, ThreadsShareOnePool) {
    TSlotPool pool(24);
    auto work = [&pool](int seed) {
        std::vector<void*> held;
        unsigned x = static_cast<unsigned>(seed);
        for (int i = 0; i < 20000; ++i) {
            x = x * 1103515245u + 12345u;
            if (held.empty() || (x >> 16) % 3 != 0) {
                void* slot = pool.Take();
                *static_cast<int*>(slot) = seed;
                held.push_back(slot);
            } else {
                void* slot = held.back();
                held.pop_back();
                // Nobody else wrote into a slot this thread holds.
                if (*static_cast<int*>(slot) != seed) throw std::runtime_error("slot shared between threads");
                pool.Give(slot);
            }
        }
        pool.GiveMany(held.data(), held.size());
    };
    std::atomic<bool> failed{false};
    auto guarded = [&](int seed) {
        try {
            work(seed);
        } catch (...) {
            failed = true;
        }
    };
    std::thread a(guarded, 1), b(guarded, 2), c(guarded, 3);
    a.join();
    b.join();
    c.join();
    EXPECT_FALSE(failed.load());
    if (TSlotPool::Pooled) {
        EXPECT_EQ(pool.BlockCount(), 1u);
    }
}

// Blocks of every size up to the largest pooled one and beyond: distinct,
// writable over their whole size, and given back without a trace.
TEST(SlotPoolTest, GradedPoolsServeEverySize) {
    TSlotPools pools;
    std::vector<std::pair<void*, std::size_t>> taken;
    // Past the pooled sizes a block is the heap's, aligned as the system's
    // allocator aligns: two pointers' worth (8 bytes on 32-bit Windows,
    // where any object's alignment is 16).
    const std::size_t heapAlign = std::min<std::size_t>(alignof(std::max_align_t), 2 * sizeof(void*));
    for (std::size_t size = 0; size <= TSlotPools::MaxSize + 40; ++size) {
        const std::size_t align = size <= TSlotPools::MaxSize ? alignof(std::max_align_t) : heapAlign;
        for (int copy = 0; copy < 3; ++copy) {
            void* block = pools.Take(size);
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % align, 0u) << size;
            std::memset(block, static_cast<int>(size & 0xFF), size);
            taken.emplace_back(block, size);
        }
    }
    std::set<void*> distinct;
    for (const auto& [block, size] : taken) distinct.insert(block);
    EXPECT_EQ(distinct.size(), taken.size());
    // Nothing written into one block reached another.
    for (const auto& [block, size] : taken)
        for (std::size_t i = 0; i < size; ++i)
            ASSERT_EQ(static_cast<unsigned char*>(block)[i], static_cast<unsigned char>(size & 0xFF)) << size;
    for (const auto& [block, size] : taken) pools.Give(block, size);
    pools.Give(nullptr, 16);
    if (TSlotPool::Pooled) {
        // Each size that was used keeps one empty block for its next slot.
        EXPECT_LE(pools.BlockCount(), 12u);
    }
}

// Held, the graded pools keep the blocks of objects of several sizes freed
// together, and the same objects made again take the same memory; the
// release gives the empty blocks back.
TEST(SlotPoolTest, HeldGradedPoolsKeepEveryFreedSize) {
    if (!TSlotPool::Pooled) GTEST_SKIP() << "slots are heap blocks in sanitizer builds";
    TSlotPools pools;
    const std::size_t sizes[] = {24, 92, 64, 200};
    std::vector<std::pair<void*, std::size_t>> taken;
    auto takeAll = [&] {
        taken.clear();
        for (int i = 0; i < 3000; ++i)
            for (std::size_t size : sizes) taken.emplace_back(pools.Take(size), size);
    };
    takeAll();
    const std::size_t full = pools.BlockCount();
    ASSERT_GT(full, 8u);
    std::set<void*> before;
    for (const auto& [block, size] : taken) before.insert(block);
    pools.Hold();
    for (const auto& [block, size] : taken) pools.Give(block, size);
    EXPECT_EQ(pools.BlockCount(), full);
    takeAll();
    EXPECT_EQ(pools.BlockCount(), full);
    std::set<void*> again;
    for (const auto& [block, size] : taken) again.insert(block);
    EXPECT_EQ(again, before);
    for (const auto& [block, size] : taken) pools.Give(block, size);
    pools.Release();
    // One spare block per size used.
    EXPECT_EQ(pools.BlockCount(), std::size(sizes));
}

// Strings and vectors over the pooled allocator behave like the standard
// ones, through growth, copies and moves.
TEST(SlotPoolTest, PooledContainersBehaveLikeStandardOnes) {
    using TText = std::basic_string<wchar_t, std::char_traits<wchar_t>, TSlotAllocator<wchar_t>>;
    std::vector<TText, TSlotAllocator<TText>> texts;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 2000; ++i) {
        std::wstring text(static_cast<std::size_t>(i % 300), static_cast<wchar_t>(L'a' + i % 26));
        text += std::to_wstring(i);
        texts.emplace_back(text.data(), text.size());
        expected.push_back(text);
    }
    auto copy = texts;
    for (std::size_t i = 0; i < texts.size(); i += 3) texts[i] += L" more";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(std::wstring(copy[i].data(), copy[i].size()), expected[i]);
        const std::wstring now = i % 3 == 0 ? expected[i] + L" more" : expected[i];
        ASSERT_EQ(std::wstring(texts[i].data(), texts[i].size()), now);
    }
    auto moved = std::move(copy);
    EXPECT_EQ(moved.size(), expected.size());
    EXPECT_TRUE(TSlotAllocator<int>() == TSlotAllocator<char>());
}

} // namespace

