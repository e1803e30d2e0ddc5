#include "Module1.h"

#include <cmath>

#include "NumberText.h"
#include "platform/Platform.h"

namespace Module1 {

std::string SoundDir;
std::int16_t CurrentVerse = 0;

namespace {

// The noun after the number: singular only when the number sung last is one.
const char* const kOneBrumbe = "brumbe.wav";
const char* const kBrumber = "brumber.wav";

// Clips for a verse of 1...99, written without leading zeros.
void SingBelowHundred(int n, const std::string& verse, ClipNames& clips) {
  if (n == 1) {
    clips.push_back("1.wav");
    clips.push_back(kOneBrumbe);
  } else if (n >= 2 && n <= 20) {
    SingUpToTwenty(verse, clips);
  } else if (n >= 21 && n <= 99) {
    SingTensAndUnits(verse, clips);
  }
}

}  // namespace

ClipNames VerseClips(const std::string& verse) {
  ClipNames clips;
  const std::optional<double> number = ReadNumber(verse);
  if (!number) return clips;
  const double whole = std::floor(*number);
  if (!(whole >= 1 && whole <= 999)) return clips;
  // The clip names are built from the digits, so work from the plain form of the number: "007"
  // and "7,5" sing as 7 does.
  const int n = static_cast<int>(whole);
  const std::string digits = std::to_string(n);
  if (n >= 100) {
    SingHundreds(digits, clips);
  } else {
    SingBelowHundred(n, digits, clips);
  }
  return clips;
}

void SingUpToTwenty(const std::string& verse, ClipNames& clips) {
  clips.push_back(verse + ".wav");  // 7 -> 7.wav
  clips.push_back(kBrumber);
}

void SingTensAndUnits(const std::string& verse, ClipNames& clips) {
  const char tens = verse.front();
  const char units = verse.back();
  clips.push_back(std::string(1, tens) + "0" + ".wav");               // 47 -> 40.wav
  if (units != '0') clips.push_back(std::string(1, units) + ".wav");  // 47 -> 7.wav
  clips.push_back(kBrumber);
}

void SingHundreds(const std::string& verse, ClipNames& clips) {
  clips.push_back(std::string(1, verse.front()) + "00" + ".wav");  // 347 -> 300.wav
  // The last two digits, without a leading zero: "47" sings 47, "07" sings 7.
  const int rest = std::stoi(verse.substr(verse.size() - 2));
  if (rest == 0) {
    clips.push_back(kBrumber);  // 300: "tre hundre brumber", with no "og" and nothing after it
    return;
  }
  clips.push_back("og.wav");
  SingBelowHundred(rest, std::to_string(rest), clips);
}

void SingVerse(const std::string& verse) {
  for (const std::string& clip : VerseClips(verse)) PlayClip(SoundDir + clip);
}

bool SoundIsBusy() {
  return !platform::sndPlaySound(SoundDir + kSilenceClip, SND_NOSTOP);
}

bool PlayClip(const std::string& path) {
  while (SoundIsBusy()) {
    // A sound service that has stopped advancing must not hold the window for good.
    if (!platform::PauseWhileBusy()) return false;
  }
  return platform::sndPlaySound(path, SND_ASYNC);
}

void StopSound() {
  platform::sndPlaySound(SoundDir + kSilenceClip, SND_SYNC);
}

}  // namespace Module1
