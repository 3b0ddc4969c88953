#pragma once
// The termination signals (SIGTERM, SIGINT, SIGHUP: a kill, Ctrl+C in a
// terminal, the session ending) as an ordinary event of the program. The
// handler only writes the signal's number into a socket pair; once the
// object listens, the event loop reads it and emits exitRequested, where
// the program leaves the table the way its close box does. Nothing is
// written from the handler. The signals are caught from the object's
// construction, first thing in main, so that one arriving while the
// program is still being built waits in the pair until it is heard.

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace platform {

class ExitSignals : public QObject {
  Q_OBJECT
 public:
  // Catches the signals for the object's life; one object per process. It
  // may be made before the application object.
  explicit ExitSignals(QObject* parent = nullptr);
  ~ExitSignals() override;
  ExitSignals(const ExitSignals&) = delete;
  ExitSignals& operator=(const ExitSignals&) = delete;

  // False when the signals could not be caught: they end the program as
  // they would without this object.
  bool Catching() const { return catching_; }

  // Emits exitRequested from the event loop for every signal caught so far
  // and from now on. Needs the application object; call it once whatever
  // answers exitRequested is connected.
  void Listen();

 signals:
  void exitRequested(int signalNumber);

 private:
  void ReadSignals();

  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  bool catching_ = false;
};

}  // namespace platform
