#pragma once
// The program's version information: its numbers, set once in the build
// (the project line of CMakeLists.txt), and its legal notice. The splash,
// the About box and the network handshake all show these.

#include "platform/version_numbers.h"

namespace platform {

// The program's name, as its windows, message boxes and folders show it,
// and its maker's, which names the folder and the settings file above it.
inline constexpr char kProgramTitle[] = "Marrowdale";
inline constexpr char kMakerName[] = "Brackwell";

inline constexpr int kVersionMajor = MARROWDALE_VERSION_MAJOR;
inline constexpr int kVersionMinor = MARROWDALE_VERSION_MINOR;
inline constexpr int kVersionRevision = MARROWDALE_VERSION_PATCH;

inline constexpr char kLegalNotice[] =
    "Marrowdale is free software. Copyright (C) the Marrowdale developers. All pictures, sounds and tunes are "
    "the game's own.";

// Marrowdale has no web site and no mail address of its own.
inline constexpr char kNoWebSiteText[] = "Marrowdale has no web site.";

}  // namespace platform
