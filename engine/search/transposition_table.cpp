#include "engine/search/transposition_table.h"

#include <algorithm>
#include <bit>
#include <new>

namespace kestrel::search {

namespace {

constexpr std::size_t kBucket = 2; // entries looked at per position

} // namespace

TranspositionTable::TranspositionTable(std::size_t bytes)
    : entries_(std::max<std::size_t>(std::bit_floor(bytes / sizeof(Entry)), kBucket))
{
}

void TranspositionTable::newSearch()
{
    if (!table_) {
        // All zero: every entry has generation 0, which no search uses.
        table_.reset(static_cast<Entry*>(std::calloc(entries_, sizeof(Entry))));
        if (!table_)
            throw std::bad_alloc();
        generation_ = 1;
        return;
    }
    if (++generation_ == 0) {
        std::fill(table_.get(), table_.get() + entries_, Entry{});
        generation_ = 1;
    }
}

TranspositionTable::Entry* TranspositionTable::bucketOf(std::uint64_t key) const
{
    return table_.get() + (key & (entries_ - 1) & ~(kBucket - 1));
}

bool TranspositionTable::probe(const Position& position, Hit& hit) const
{
    const std::uint64_t key = hashOf(position);
    const Entry* bucket = bucketOf(key);
    for (std::size_t i = 0; i < kBucket; ++i) {
        const Entry& e = bucket[i];
        if (e.key == key && e.generation == generation_) {
            hit = {e.lower, e.upper, e.depth, e.move};
            return true;
        }
    }
    return false;
}

void TranspositionTable::store(const Position& position, int depth, int alpha, int beta, int score, int move)
{
    const std::uint64_t key = hashOf(position);
    Entry* bucket = bucketOf(key);
    Entry* slot = nullptr;
    for (std::size_t i = 0; i < kBucket && !slot; ++i)
        if (bucket[i].key == key && bucket[i].generation == generation_)
            slot = &bucket[i];
    if (slot && slot->depth == depth) {
        // The same search depth again: narrow the bounds already known.
        if (score < beta)
            slot->upper = static_cast<std::int16_t>(std::min<int>(slot->upper, score));
        if (score > alpha)
            slot->lower = static_cast<std::int16_t>(std::max<int>(slot->lower, score));
        if (slot->lower > slot->upper) // inconsistent results: keep the newer one alone
            slot->lower = slot->upper = static_cast<std::int16_t>(score);
        if (move != kPass)
            slot->move = static_cast<std::int8_t>(move);
        return;
    }
    if (slot && slot->depth > depth)
        return;
    if (!slot) {
        // Replace an entry of an earlier search first, then the shallower one.
        slot = &bucket[0];
        for (std::size_t i = 1; i < kBucket; ++i) {
            const Entry& e = bucket[i];
            const bool slotStale = slot->generation != generation_;
            const bool eStale = e.generation != generation_;
            if (eStale && !slotStale)
                slot = &bucket[i];
            else if (eStale == slotStale && e.depth < slot->depth)
                slot = &bucket[i];
        }
    }
    slot->key = key;
    slot->generation = generation_;
    slot->depth = static_cast<std::int8_t>(depth);
    slot->move = static_cast<std::int8_t>(move);
    slot->lower = static_cast<std::int16_t>(score > alpha ? score : -kUnbounded);
    slot->upper = static_cast<std::int16_t>(score < beta ? score : kUnbounded);
}

} // namespace kestrel::search
