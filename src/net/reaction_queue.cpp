#include "net/reaction_queue.h"

#include "net/line_protocol.h"

namespace net {

bool ReactionQueue::Push(std::function<void()> run, qsizetype bytes) {
  if (reactions_.size() >= static_cast<std::size_t>(kMaxQueuedReactions) || bytes_ + bytes > kMaxQueuedBytes)
    return false;
  reactions_.push_back({std::move(run), bytes});
  bytes_ += bytes;
  return true;
}

void ReactionQueue::Run() {
  if (running_) return;
  while (!reactions_.empty()) {
    Reaction r = std::move(reactions_.front());
    reactions_.pop_front();
    bytes_ -= r.bytes;
    running_ = true;
    r.run();
    running_ = false;
  }
}

void ReactionQueue::Drop() {
  reactions_.clear();
  bytes_ = 0;
}

}  // namespace net
