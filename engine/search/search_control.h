#pragma once
// What every node of a search reports to: the node count, and whether the
// search must stop (a flag set by another thread, or the clock).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

namespace kestrel::search {

class SearchControl {
public:
    using Clock = std::chrono::steady_clock;

    SearchControl(const std::atomic<bool>* stop, std::optional<Clock::time_point> deadline)
        : stop_(stop), deadline_(deadline)
    {
    }

    // Counts one node; true once the search must unwind (and from then on).
    bool halted()
    {
        if ((++nodes_ & kPollInterval) == 0)
            poll();
        return halted_;
    }

    bool isHalted() const { return halted_; }
    std::uint64_t nodes() const { return nodes_; }

private:
    static constexpr std::uint64_t kPollInterval = 1023; // nodes between looks at the flag and the clock

    void poll()
    {
        if ((stop_ && stop_->load(std::memory_order_relaxed)) || (deadline_ && Clock::now() >= *deadline_))
            halted_ = true;
    }

    const std::atomic<bool>* stop_;
    std::optional<Clock::time_point> deadline_;
    std::uint64_t nodes_ = 0;
    bool halted_ = false;
};

} // namespace kestrel::search
