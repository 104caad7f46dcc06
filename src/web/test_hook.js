// SPDX-License-Identifier: GPL-3.0-or-later
// The page's test hook, read by the browser tests and the benches: the
// game's state, its recording and hall of fame, the sound, the frames, and
// a clock a test steps by hand.
'use strict';

let steppedNow = 0;

window.kestrada = {
  state: () => JSON.parse(UTF8ToString(Module._kestrada_state())),
  recording: recordingText,
  hallOfFame: () => UTF8ToString(Module._kestrada_hall_of_fame()).split('\n').filter(Boolean),
  hallOfFameShown: () => Module._kestrada_hall_of_fame_shown(),
  // The raced ghost, {score, gap} (its lead in road pixels), or null.
  ghost: () => JSON.parse(UTF8ToString(Module._kestrada_ghost())),
  audioState: () => (sound.context ? sound.context.state : 'none'),
  peak: () => sound.peak(),
  firstFrameAt: () => frameStats.firstAt,
  readyAt: () => readyAt,
  lastPlay: () => sound.lastPlay,
  latency: () => sound.context.baseLatency + (sound.context.outputLatency || 0),
  zoom: (value) => setZoom(value),
  // Frames drawn, those that showed something new, and the drawing time of
  // each of the last 60, in milliseconds.
  frames: () => frameStats.read(),
  // With ?clock=stepped: this many 40 ms slots, a frame for each; none
  // draws a frame at the time it stands at.
  step: (slots) => {
    for (let i = 0; i < slots; i += 1) {
      steppedNow += 40;
      Module._kestrada_frame(steppedNow);
    }
    if (slots === 0) {
      Module._kestrada_frame(steppedNow);
    }
  },
};
