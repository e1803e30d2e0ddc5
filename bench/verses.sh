# The clips of verse $1 (1 to 999), as the song names them (src/song/Module1.cpp), for the
# benchmarks, which source this file.
clips() {
  local h=$(($1 / 100)) r=$(($1 % 100))
  if ((h > 0)); then
    echo "${h}00"
    if ((r == 0)); then echo brumber && return; fi
    echo og
  fi
  if ((r == 1)); then echo 1 brumbe
  elif ((r <= 20 || r % 10 == 0)); then echo "$r" brumber
  else echo "$((r / 10))0" $((r % 10)) brumber; fi
}
