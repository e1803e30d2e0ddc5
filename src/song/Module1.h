// The song: which clips sing a verse, and the clip player that plays them one after another
// through the platform's sound call. It holds the program's two pieces of state outside the
// window: the clip folder and the verse a run sings next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Module1 {

// The folder of the clips, which is the executable's, followed by the platform's separator.
// Every clip path is SoundDir followed by the clip's file name.
extern std::string SoundDir;

// The verse a run sings next.
extern std::int16_t CurrentVerse;

// ---- Verses ---------------------------------------------------------------------------------
// A verse is its number, sung from number-word clips (tens before units, hundreds joined to the
// rest by "og"), then "brumbe" after a final one and "brumber" after anything else. The words
// exist for 1...999; any other number has no verse and plays nothing.

using ClipNames = std::vector<std::string>;

// The file names of the clips that sing the verse written as `verse` (verse-number text), in
// playing order. Empty when the verse has no words.
ClipNames VerseClips(const std::string& verse);

// Each adds to `clips` the clips of one kind of verse: 2...20, 21...99 (two digits) and
// 100...999 (three digits).
void SingUpToTwenty(const std::string& verse, ClipNames& clips);
void SingTensAndUnits(const std::string& verse, ClipNames& clips);
void SingHundreds(const std::string& verse, ClipNames& clips);

// Plays the verse's clips in order; returns once its last clip has started playing.
void SingVerse(const std::string& verse);

// ---- The clip player ------------------------------------------------------------------------
// One sound plays at a time. The silence clip is the player's only instrument: playing it
// without interrupting asks whether a sound is still playing (and, if none is, is the pause
// between two clips); playing it with interruption is how a sound is cut.

inline constexpr const char* kSilenceClip = "silence.wav";

// True while a sound is still playing. When nothing plays, it plays the silence clip to its end
// first and then says false.
bool SoundIsBusy();

// Waits until no sound plays (the silence clip then plays once), starts the clip at `path` and
// returns without waiting for it. True when the clip started; false when the platform could not
// start it, or when the sound before it stopped advancing and the clip was given up.
bool PlayClip(const std::string& path);

// Cuts any sound; returns when the silence clip has played.
void StopSound();

}  // namespace Module1
