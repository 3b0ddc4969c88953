#pragma once
// Given --brief, a benchmark runs its shortest form: one repetition on its
// smallest inputs. The test suite runs every benchmark so, to know that it
// still builds and runs; its times then mean nothing.

#include <cstring>

namespace bench {

// Takes --brief out of the arguments, before benchmark::Initialize reads
// them; true when it was given.
inline bool TakeBrief(int& argc, char** argv) {
  bool brief = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--brief") == 0) {
      brief = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return brief;
}

}  // namespace bench
