#pragma once
// A scripted music player for the tests.

#include <QString>
#include <vector>

#include "media/mp3_playback.h"

namespace media {

// A scripted player for tests: Open answers at once with the outcome set
// for the file (Loaded unless listed in invalid), or stays Loading for the
// files listed in slow; every command is logged.
class FakeMusicPlayer : public MusicPlayer {
 public:
  MusicUnavailableCause Availability() override { return cause; }
  void SetListener(Listener l) override { listener = std::move(l); }
  void Open(const QString& file) override {
    log.push_back("open " + file);
    opened = file;
    bool bad = false, late = false;
    for (const QString& f : invalid) bad = bad || f == file;
    for (const QString& f : slow) late = late || f == file;
    state = late ? State::Loading : bad ? State::Invalid : State::Loaded;
  }
  void Play() override {
    log.push_back("play");
    if (state == State::Loaded || state == State::Stopped || state == State::Loading) state = State::Playing;
  }
  void Stop() override {
    log.push_back("stop");
    if (state == State::Playing) state = State::Stopped;
  }
  void Close() override {
    log.push_back("close");
    state = State::Closed;
    opened.clear();
  }
  State Mode() const override { return state; }
  QString ErrorText() const override { return state == State::Invalid ? error : QString(); }

  // The song playing reaches its end.
  void FinishSong() {
    state = State::Stopped;
    if (listener.ended) listener.ended();
  }

  MusicUnavailableCause cause = MusicUnavailableCause::None;
  std::vector<QString> invalid;
  std::vector<QString> slow;
  QString error = "The file cannot be played.";
  std::vector<QString> log;
  QString opened;
  State state = State::Closed;
  Listener listener;
};

}  // namespace media
