// A sound service with a virtual clock, standing in for the platform in the core's tests. It
// keeps one sound at a time as the real service does, with made-up clip lengths, and writes down
// every sound call so a test can check what was played, in what order and when.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace fake {

inline const std::string kFolder = "/clips";  // what the fake reports as the executable's folder
inline const std::string kDir = kFolder + "/";

struct Call {
  long long at;      // virtual time of the call, ms
  std::string clip;  // file name, without the folder
  unsigned flags;
  bool result;
};

struct Sound {
  long long now = 0;  // the virtual clock, ms
  std::map<std::string, long long> lengths = {{"silence.wav", 100}};
  long long defaultLength = 500;  // any clip not in `lengths`
  bool stuck = false;             // a broken service: always busy, never plays
  std::string playing;            // the clip playing now, if ends > now
  long long ends = 0;
  std::vector<Call> calls;

  long long Length(const std::string& clip) const;
  bool Busy() const { return stuck || now < ends; }

  // The calls that made sound: "silence" for a probe that played the silence clip, "stop" for a
  // cut, and the clip's name for a clip started. Busy probes, which change nothing, are left out.
  std::vector<std::string> Played() const;
};

// The one fake service the platform functions use; a test resets it first.
Sound& Service();
void Reset();

}  // namespace fake
