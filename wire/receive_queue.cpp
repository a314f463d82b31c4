#include "wire/receive_queue.h"

namespace kestrel {

bool ReceiveQueue::push(ReceivedItem item)
{
    std::lock_guard lock(mutex_);
    if (items_.size() >= kMaxItems) {
        ++dropped_;
        return false;
    }
    items_.push_back(std::move(item));
    return true;
}

std::optional<ReceivedItem> ReceiveQueue::pop()
{
    std::lock_guard lock(mutex_);
    if (items_.empty())
        return std::nullopt;
    ReceivedItem item = std::move(items_.front());
    items_.pop_front();
    return item;
}

std::size_t ReceiveQueue::size() const
{
    std::lock_guard lock(mutex_);
    return items_.size();
}

std::uint64_t ReceiveQueue::dropped() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

void ReceiveQueue::clear()
{
    std::lock_guard lock(mutex_);
    items_.clear();
}

} // namespace kestrel
