#pragma once
// Remembers bounds on the scores of positions already searched, and the best
// move found there. Owned by one search; not shared between threads.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/search/position.h"

namespace kestrel::search {

class TranspositionTable {
public:
    struct Entry {
        std::uint64_t key = 0;
        std::int16_t lower = 0; // the score is at least this
        std::int16_t upper = 0; // and at most this
        std::int8_t depth = 0;  // how deep the bounds were searched
        std::int8_t move = kPass;
        std::uint8_t generation = 0;
        std::uint8_t unused = 0;
    };
    static_assert(sizeof(Entry) == 16);

    // The bound stored for "not known": beyond every score.
    static constexpr int kUnbounded = 32000;

    // What a probe found: bounds valid at `depth` or more, and a move to try first.
    struct Hit {
        int lower;
        int upper;
        int depth;
        int move;
    };

    // `bytes` is rounded down to a power of two entries; nothing is
    // allocated until the first search.
    explicit TranspositionTable(std::size_t bytes);

    // Forgets everything stored so far (in constant time, except every 255th call).
    void newSearch();

    // Bounds and move stored for the position in this search, if any.
    bool probe(const Position& position, Hit& hit) const;

    // Stores the outcome of a search of `depth` with window (alpha, beta):
    // `score` is exact inside the window and a bound outside it.
    void store(const Position& position, int depth, int alpha, int beta, int score, int move);

    std::size_t bytes() const { return entries_ * sizeof(Entry); }

private:
    Entry* bucketOf(std::uint64_t key) const;

    struct Release {
        void operator()(Entry* entries) const { std::free(entries); }
    };

    std::size_t entries_;
    // Zeroed pages from the system: only the parts written take memory.
    std::unique_ptr<Entry[], Release> table_;
    std::uint8_t generation_ = 0;
};

} // namespace kestrel::search
