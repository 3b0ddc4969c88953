// Makes the quick-chat buttons' first texts, copied into the player's folder
// when missing: Data/user-seed/Chat.sav, twenty records of the chat's codec.
//
// Usage: make_chat_texts SOURCE_FOLDER   (the folder that holds Data/)

#include <QDir>
#include <QSaveFile>
#include <cstdio>

#include "net/quick_chat_record.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOURCE_FOLDER\n", argv[0]);
    return 2;
  }
  static const char* const kTexts[net::kQuickChatButtons] = {
      "Hello!",
      "Good luck!",
      "Have fun!",
      "Nice move!",
      "Well played!",
      "Good game!",
      "Thanks!",
      "You're welcome!",
      "Oops!",
      "Sorry!",
      "Great shot!",
      "Wow!",
      "Close one!",
      "Your turn!",
      "One moment, please.",
      "I'm back!",
      "That was lucky!",
      "Rematch?",
      "Thanks for the game!",
      "Bye, see you soon!",
  };
  const QDir root(QString::fromLocal8Bit(argv[1]));
  const QString path = root.filePath("Data/user-seed/") + net::kChatSavFileName;
  QSaveFile file(path);
  if (!root.mkpath("Data/user-seed") || !file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return 1;
  }
  for (const char* text : kTexts) file.write(net::ChatSavRecord{QString::fromUtf8(text)}.Encode());
  if (!file.commit()) return 1;
  std::printf("%s: %d texts\n", qPrintable(path), net::kQuickChatButtons);
  return 0;
}
