#pragma once
// Tells the user that a record could not be written: once per file and
// run, naming the file and the system's reason. The game goes on; what
// could not be written is simply not kept.

#include <QSet>
#include <QString>

namespace platform {

class UiService;

// The system's reason as a box gives it; a failure the system gave no
// reason for says so.
QString SystemReason(const QString& reason);

// The message for a failed write of `path`.
QString WriteFailedText(const QString& path, const QString& reason);

class WriteFailures {
 public:
  explicit WriteFailures(UiService& ui) : ui_(ui) {}
  WriteFailures(const WriteFailures&) = delete;
  WriteFailures& operator=(const WriteFailures&) = delete;

  // A write of `path` failed for `reason`; the first time for this file
  // the user is told, unless a OneBoxPerCause lives and the reason was told.
  void WriteFailed(const QString& path, const QString& reason);

  // While it lives (the start, which writes many files at once), a reason
  // the user was told is not told again for another file: a full disk is
  // one box, with the first file it stopped.
  class OneBoxPerCause {
   public:
    explicit OneBoxPerCause(WriteFailures& failures) : failures_(failures) { ++failures_.oneBoxPerCause_; }
    ~OneBoxPerCause() { --failures_.oneBoxPerCause_; }
    OneBoxPerCause(const OneBoxPerCause&) = delete;
    OneBoxPerCause& operator=(const OneBoxPerCause&) = delete;

   private:
    WriteFailures& failures_;
  };

 private:
  UiService& ui_;
  QSet<QString> told_;         // files the user has heard about in this run
  QSet<QString> toldReasons_;  // and the reasons
  int oneBoxPerCause_ = 0;
};

}  // namespace platform
