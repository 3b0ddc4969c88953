#pragma once
// Answers whether a command that replaces the table (new game, restore,
// restart, previous turn and the like) may run now. Everything runs on one
// thread, but long actions wait inside their event and let other events
// run; while a deal, a computer turn, game over, a move or a restore is in
// progress the answer is no, and the command does nothing.

#include <array>

namespace table {

enum class Activity { Deal, ComputerTurn, GameOver, Move, Restore, Count };

class BusyGuard {
 public:
  // Marks an activity as running for the life of the scope; scopes nest.
  class Scope {
   public:
    Scope(BusyGuard& guard, Activity activity) : guard_(&guard), activity_(activity) {
      ++guard_->running_[Index(activity_)];
    }
    ~Scope() {
      if (guard_) --guard_->running_[Index(activity_)];
    }
    Scope(Scope&& other) noexcept : guard_(other.guard_), activity_(other.activity_) { other.guard_ = nullptr; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    Scope& operator=(Scope&&) = delete;

   private:
    BusyGuard* guard_;
    Activity activity_;
  };

  [[nodiscard]] Scope Enter(Activity activity) { return Scope(*this, activity); }
  bool IsRunning(Activity activity) const { return running_[Index(activity)] > 0; }
  bool MayReplaceTable() const {
    for (int n : running_) {
      if (n > 0) return false;
    }
    return true;
  }

 private:
  static constexpr int Index(Activity a) { return static_cast<int>(a); }
  std::array<int, static_cast<int>(Activity::Count)> running_{};
};

}  // namespace table
