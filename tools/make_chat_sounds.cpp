// Makes the chat window's sounds, copied into the player's Sounds folder when
// missing: Data/user-seed/Sounds/*.wav. "slap", "cash_register" and
// "coin_flip" are names the chat itself plays; the rest are for the list.
//
// Usage: make_chat_sounds SOURCE_FOLDER   (the folder that holds Data/)

#include "picture_out.h"
#include "synth.h"

#include <QDir>
#include <QString>
#include <cstdio>

namespace {

using namespace synth;

constexpr int kRate = 22050;

Wave Blank(double seconds) { return Wave(static_cast<size_t>(Samples(seconds, kRate)), 0.0); }

// A hand on a cheek: a sharp broadband crack over a dull thud.
Wave Slap() {
  Wave w = Blank(0.35);
  AddBurst(w, kRate, 0.0, 2600, 0.7, 1.0, 0.001, 0.022, 501);
  AddBurst(w, kRate, 0.0, 900, 1.2, 0.7, 0.001, 0.040, 502);
  AddMode(w, kRate, 0.0, 140, 0.5, 0.05);
  Finish(w, kRate, 0.85);
  return w;
}

// The drawer's clunk, then its bell.
Wave CashRegister() {
  Wave w = Blank(1.2);
  AddBurst(w, kRate, 0.0, 1200, 2.0, 0.6, 0.002, 0.030, 511);
  AddBurst(w, kRate, 0.08, 700, 1.5, 0.5, 0.002, 0.045, 512);
  AddChime(w, kRate, 0.18, 2637.0, 0.6, 0.45);
  AddChime(w, kRate, 0.18, 3520.0, 0.35, 0.35);
  Finish(w, kRate, 0.75);
  return w;
}

// A flick, the spinning ring, and the catch.
Wave CoinFlip() {
  Wave w = Blank(0.9);
  AddMode(w, kRate, 0.0, 3900, 0.5, 0.05);
  for (int k = 0; k < 8; ++k) AddMode(w, kRate, 0.04 + 0.07 * k, 5200 + 90 * (k % 3), 0.25 * (1 - k / 10.0), 0.025);
  AddBurst(w, kRate, 0.66, 1500, 1.0, 0.8, 0.001, 0.03, 521);
  Finish(w, kRate, 0.7);
  return w;
}

// Many hands: a swell of short random claps.
Wave Applause() {
  Wave w = Blank(2.4);
  Noise when(531);
  for (int k = 0; k < 140; ++k) {
    const double t = 2.0 * k / 140 + 0.012 * when.Next();
    const double swell = std::sin(kPi * std::min(1.0, t / 2.0));
    AddBurst(w, kRate, std::max(0.0, t), 1400 + 500 * when.Next(), 1.4, 0.25 + 0.5 * swell, 0.001, 0.018,
             540 + static_cast<uint32_t>(k));
  }
  Finish(w, kRate, 0.7);
  return w;
}

// Three rising notes for a friendly hello.
Wave Hello() {
  Wave w = Blank(0.9);
  const double notes[] = {659.25, 783.99, 1046.50};
  for (int k = 0; k < 3; ++k) AddChime(w, kRate, 0.12 * k, notes[k], 0.5, 0.3);
  Finish(w, kRate, 0.65);
  return w;
}

// A falling three-note sigh.
Wave Oops() {
  Wave w = Blank(1.0);
  const double notes[] = {783.99, 659.25, 493.88};
  for (int k = 0; k < 3; ++k) AddChime(w, kRate, 0.16 * k, notes[k], 0.5, 0.35);
  Finish(w, kRate, 0.6);
  return w;
}

// A knock on a door: two dull raps.
Wave Knock() {
  Wave w = Blank(0.6);
  for (double t : {0.0, 0.22}) {
    AddBurst(w, kRate, t, 600, 1.5, 0.7, 0.001, 0.02, 561);
    AddMode(w, kRate, t, 160, 0.6, 0.04);
  }
  Finish(w, kRate, 0.75);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<QDir> folder = tools::OutputFolder(argc, argv, "Data/user-seed/Sounds");
  if (!folder) return argc != 2 ? 2 : 1;
  const QDir& out = *folder;
  const Format mono16;
  auto sound = [&out](const char* name) { return out.filePath(QString("%1.wav").arg(name)); };
  bool ok = true;
  ok &= Save(sound("slap"), {Slap()}, mono16);
  ok &= Save(sound("cash_register"), {CashRegister()}, mono16);
  ok &= Save(sound("coin_flip"), {CoinFlip()}, mono16);
  ok &= Save(sound("applause"), {Applause()}, mono16);
  ok &= Save(sound("hello"), {Hello()}, mono16);
  ok &= Save(sound("oops"), {Oops()}, mono16);
  ok &= Save(sound("knock"), {Knock()}, mono16);
  return ok ? 0 : 1;
}
