#include "platform/exit_signals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler can reach nothing but this: the writing end of the pair.
volatile sig_atomic_t writeEnd = -1;

extern "C" void OnExitSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  if (writeEnd >= 0) {
    // A full pair already holds a request; one more is not needed.
    [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
  if (writeEnd >= 0) return;  // another object catches them already
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_) != 0) return;
  writeEnd = fds_[0];
  struct sigaction action {};
  action.sa_handler = OnExitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  catching_ = true;
  for (int number : kSignals) catching_ = ::sigaction(number, &action, nullptr) == 0 && catching_;
}

ExitSignals::~ExitSignals() {
  if (fds_[0] < 0) return;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int number : kSignals) ::sigaction(number, &action, nullptr);
  writeEnd = -1;
  notifier_.reset();
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void ExitSignals::Listen() {
  if (fds_[1] < 0 || notifier_) return;
  notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadSignals(); });
}

void ExitSignals::ReadSignals() {
  char numbers[16];
  const ssize_t n = ::read(fds_[1], numbers, sizeof numbers);
  for (ssize_t i = 0; i < n; ++i) emit exitRequested(numbers[i]);
}

}  // namespace platform
