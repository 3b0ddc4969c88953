#include "platform/write_failures.h"

#include <QDir>

#include "platform/ui.h"
#include "platform/version.h"

namespace platform {

QString SystemReason(const QString& reason) {
  return reason.isEmpty() ? QStringLiteral("The system gave no reason.") : reason;
}

QString WriteFailedText(const QString& path, const QString& reason) {
  return QStringLiteral("Marrowdale could not write to the file\r\n") + QDir::toNativeSeparators(path) +
         QStringLiteral("\r\n\r\n") + SystemReason(reason) +
         QStringLiteral(
             "\r\n\r\nThe game goes on, but what could not be written is not kept. "
             "Nothing already in the file was lost.");
}

void WriteFailures::WriteFailed(const QString& path, const QString& reason) {
  // One cause, one box: a full disk is told with the first file it stops.
  const bool toldCause = oneBoxPerCause_ > 0 && !reason.isEmpty() && toldReasons_.contains(reason);
  if (told_.contains(path) || toldCause) return;
  told_.insert(path);
  if (!reason.isEmpty()) toldReasons_.insert(reason);
  ui_.MsgBox(WriteFailedText(path, reason), vbOKOnly | vbExclamation, QString::fromLatin1(kProgramTitle));
}

}  // namespace platform
