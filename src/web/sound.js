// SPDX-License-Identifier: GPL-3.0-or-later
// The game's sound on Web Audio: the three players the game calls, the
// unlock on the cover's gesture, and the watch a test or the bench keeps on
// what reaches the output. Gives: sound.
'use strict';

const soundFiles = { sndStart: 'Start.ogg', sndCrash: 'Crash.ogg', sndMusic: 'Kestrada.ogg' };

// One player: play from the place it stands, stop keeping the place, set
// the place back to the start. A playback that ends by itself reports it
// once; the game hears of the music's end between two slots.
class Player {
  constructor(sound, name) {
    this.sound = sound;
    this.name = name;
    this.buffer = null;
    this.source = null;
    this.offset = 0;
    this.startedAt = 0;
  }
  play() {
    if (this.source || !this.buffer) {
      return;
    }
    const audio = this.sound.context;
    const source = audio.createBufferSource();
    source.buffer = this.buffer;
    source.connect(this.sound.output);
    source.onended = () => this.finished(source);
    this.startedAt = audio.currentTime - this.offset;
    source.start(0, Math.min(this.offset, this.buffer.duration));
    this.source = source;
    if (this.sound.watching) {
      this.sound.watch(this.name);
    }
  }
  stop() {
    if (!this.source) {
      return;
    }
    this.offset = this.sound.context.currentTime - this.startedAt;
    this.source.onended = null;
    this.source.stop();
    this.source = null;
  }
  setPosition() {
    const playing = this.source !== null;
    this.stop();
    this.offset = 0;
    if (playing) {
      this.play();
    }
  }
  finished(source) {
    if (this.source !== source) {
      return;
    }
    this.source = null;
    this.offset = this.buffer.duration;
    if (this.name === 'sndMusic') {
      Module._kestrada_music_ended();
    }
  }
}

// How long the first gesture waits for the browser to start the sound.
const kSoundWaitMs = 500;
const kSilentStart = 'No sound: the browser could not start it. The game plays silent.';

const sound = {
  context: null,
  output: null,
  analyser: null,
  players: {},
  files: {},
  lastPlay: null,
  // Only a test or the bench (?watch=sound) asks when a play was heard.
  watching: false,
  // The files are fetched while the cover waits; decoding needs the context.
  fetchFiles() {
    for (const [name, file] of Object.entries(soundFiles)) {
      this.files[name] = fetch(`sounds/${file}`).then((response) => response.arrayBuffer());
    }
  },
  // Made on the cover's gesture: browsers start sound only after one. True
  // when the sound runs within half a second; else the game starts silent
  // and the sound joins whenever the browser lets it start (a later tap or
  // key asks again).
  async unlock() {
    const audio = new AudioContext();
    this.context = audio;
    this.analyser = audio.createAnalyser();
    this.analyser.fftSize = 2048;
    this.output = audio.createGain();
    this.output.connect(this.analyser);
    this.analyser.connect(audio.destination);
    const resumed = audio.resume();
    const loaded = resumed.then(() => this.load());
    const late = new Promise((resolve) => setTimeout(() => resolve(false), kSoundWaitMs));
    if (await Promise.race([resumed.then(() => true), late])) {
      await loaded;
      return true;
    }
    statusLine.textContent = kSilentStart;
    loaded.then(() => {
      if (statusLine.textContent === kSilentStart) {
        statusLine.textContent = '';
      }
    });
    const askAgain = () => audio.state === 'suspended' && audio.resume();
    window.addEventListener('click', askAgain, true);
    window.addEventListener('touchend', askAgain, true);
    window.addEventListener('keydown', askAgain, true);
    return false;
  },
  async load() {
    const audio = this.context;
    await Promise.all(Object.entries(soundFiles).map(async ([name, file]) => {
      const player = new Player(this, name);
      try {
        player.buffer = await audio.decodeAudioData(await this.files[name]);
      } catch (error) {
        // A sound that cannot be had stays silent; the game goes on.
        console.warn(`${file}: ${error}`);
      }
      this.players[name] = player;
    }));
  },
  call(text) {
    const [name, op] = text.split('.');
    const player = this.players[name];
    if (!player) {
      return;
    }
    if (op === 'play') {
      player.play();
    } else if (op === 'stop') {
      player.stop();
    } else if (op === 'setpos') {
      player.setPosition();
    }
  },
  // When the samples of the last play call reached the output, for the
  // tests and the bench: the analyser polled every millisecond for 2 s.
  watch(player) {
    const play = { player, at: performance.now(), heardAt: null };
    this.lastPlay = play;
    const poll = () => {
      if (this.peak() > 0.001) {
        play.heardAt = performance.now();
      } else if (performance.now() - play.at < 2000) {
        setTimeout(poll, 1);
      }
    };
    poll();
  },
  // The loudest sample now leaving the graph.
  peak() {
    const samples = new Float32Array(this.analyser.fftSize);
    this.analyser.getFloatTimeDomainData(samples);
    return samples.reduce((most, v) => Math.max(most, Math.abs(v)), 0);
  },
};
