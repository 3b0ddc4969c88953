#pragma once
// The reactions to the peer's lines run one at a time: one asked for while
// another runs waits, in order, until the running one has returned, so that
// no reaction runs inside another's wait, whatever the peer sends.

#include <QtGlobal>
#include <deque>
#include <functional>

namespace net {

// Reactions waiting for the running one; more are a flood, not a game.
constexpr int kMaxQueuedReactions = 4096;

class ReactionQueue {
 public:
  // Queues the reaction; bytes: the lines it holds. False, with nothing
  // queued, when the queue is full.
  bool Push(std::function<void()> run, qsizetype bytes);
  // Runs the waiting reactions in order, unless one runs already: then
  // they follow when it returns.
  void Run();
  // Forgets the waiting reactions; the running one runs on.
  void Drop();

 private:
  struct Reaction {
    std::function<void()> run;
    qsizetype bytes = 0;
  };
  std::deque<Reaction> reactions_;  // waiting for the running reaction
  qsizetype bytes_ = 0;             // the lines they hold
  bool running_ = false;            // a reaction runs
};

}  // namespace net
