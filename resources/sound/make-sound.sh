#!/usr/bin/env bash
# Synthesises the capture sound: a short two-stage shutter click (the blades
# opening, then the louder close with a small body thump), about 0.25 s.
# Dev-only: sound.wav is committed; the build just copies it next to the exe.
set -euo pipefail
cd "$(dirname "$0")"
command -v sox >/dev/null || {
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends sox
}

rate=22050
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gen() { sox -R -n -r "$rate" -c 1 -b 16 "$tmp/$1.wav" "${@:2}"; }

# Noise is seeded (-R) so a re-run gives the same file.
# open: bright, very short tick with a faint metallic ring
gen open   synth 0.025 whitenoise sinc 2000-7000 fade l 0 0.025 0.024 gain -4
gen ring   synth 0.030 sine 3100 fade l 0 0.030 0.029 gain -20
# close: fuller clack 80 ms later, plus the thump of the body
gen close  synth 0.060 whitenoise sinc 500-4500 fade l 0 0.060 0.056 gain -1
gen thump  synth 0.070 sine 150 fade l 0.002 0.070 0.060 gain -5

sox -R -m \
  "|sox -R $tmp/open.wav  -p pad 0.004" \
  "|sox -R $tmp/ring.wav  -p pad 0.004" \
  "|sox -R $tmp/close.wav -p pad 0.085" \
  "|sox -R $tmp/thump.wav -p pad 0.085" \
  -r "$rate" -c 1 -b 16 "$tmp/mix.wav"

# cut to length, with a touch of room so it is not bone-dry
sox -R "$tmp/mix.wav" -r "$rate" -c 1 -b 16 -e signed-integer sound.wav \
  pad 0 0.15 trim 0 0.25 reverb 15 50 20 highpass 60 fade t 0 0.25 0.08 norm -1
soxi sound.wav
