// SPDX-License-Identifier: GPL-3.0-or-later
// The page around the game: the canvas at its zoom, the pictures and
// labels, the menu bar, the dialogs, the sound, the stored high score, the
// cover that unlocks the sound, and recording and replay by file.
'use strict';

const kWidth = 590;
const kHeight = 477;

// ---- the canvas -------------------------------------------------------------

const canvas = document.getElementById('screen');
// Opaque: the scene covers the whole play area, and an opaque canvas is
// cheaper to put on the screen.
const ctx = canvas.getContext('2d', { alpha: false });

function storedZoom() {
  const zoom = Number(localStorage.getItem('kestrada.zoom'));
  return zoom >= 1 && zoom <= 4 ? Math.floor(zoom) : 1;
}

// The zoom the player chose, and the one the play area is drawn at: the
// chosen one on a desktop, the largest that fits the screen beside the
// touch controls on a phone or a tablet.
let chosenZoom = storedZoom();
let zoom = chosenZoom;
let scale = 1;

// Under the play area in portrait, the controls keep at least this height.
const kPortraitControls = 240;

function fittedZoom() {
  const page = document.documentElement;
  if (!document.body.classList.contains('touch')) {
    const room = page.clientWidth - 32;
    return kWidth > room ? room / kWidth : chosenZoom;
  }
  // The safe area is the stage's padding.
  const stage = getComputedStyle(document.getElementById('stage'));
  const gap = 8;
  let width = page.clientWidth - parseFloat(stage.paddingLeft) - parseFloat(stage.paddingRight);
  let height = page.clientHeight - parseFloat(stage.paddingTop) - parseFloat(stage.paddingBottom);
  if (page.clientWidth > page.clientHeight) {
    const left = document.getElementById('touch-left').getBoundingClientRect();
    const right = document.getElementById('touch-right').getBoundingClientRect();
    width -= left.width + right.width + 2 * gap;
  } else {
    height -= kPortraitControls + gap;
  }
  return Math.max(0.25, Math.min(width / kWidth, height / kHeight));
}

// The canvas holds a device pixel for each pixel on the screen, so the
// pictures are drawn from their vectors at full sharpness; its size on the
// page follows from whole device pixels.
function fitCanvas() {
  zoom = fittedZoom();
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.floor(kWidth * zoom * ratio);
  scale = canvas.width / kWidth;
  rasters.clear();
  canvas.height = Math.round(kHeight * scale);
  canvas.style.width = `${canvas.width / ratio}px`;
  canvas.style.height = `${canvas.height / ratio}px`;
  document.getElementById('menubar').style.width = `${canvas.width / ratio}px`;
}

function setZoom(value) {
  chosenZoom = Math.min(4, Math.max(1, value));
  localStorage.setItem('kestrada.zoom', String(chosenZoom));
  fitCanvas();
}
window.addEventListener('resize', fitCanvas);

// Positions may be fractional: landing on whole device pixels keeps the
// pictures unscaled and sharp, as in the desktop window.
function snap(v) {
  return Math.round(v * scale) / scale;
}

const pictures = new Map();
function pictureNamed(file) {
  let image = pictures.get(file);
  if (!image) {
    image = new Image();
    image.src = `pictures/${file}`;
    pictures.set(file, image);
  }
  return image;
}

// Each picture rasterized from its vectors once for the size it is drawn
// at, in device pixels, and copied pixel for pixel at every frame after:
// drawing an SVG rasterizes it again each time. Forgotten when the canvas
// changes its scale.
const rasters = new Map();
function rasterOf(file, width, height) {
  const key = `${file} ${width} ${height}`;
  let raster = rasters.get(key);
  if (!raster) {
    const image = pictureNamed(file);
    if (!image.complete || image.naturalWidth === 0) {
      return null;
    }
    const drawn = document.createElement('canvas');
    drawn.width = width;
    drawn.height = height;
    drawn.getContext('2d').drawImage(image, 0, 0, width, height);
    rasters.set(key, drawn);
    raster = drawn;
    // A canvas drawn from is copied again at each draw; an ImageBitmap of
    // it is not. It takes over as soon as it is made.
    createImageBitmap(drawn).then((bitmap) => {
      if (rasters.get(key) === drawn) {
        rasters.set(key, bitmap);
      }
    }, () => {});
  }
  return raster;
}

const colours = new Map();
function cssColour(rgb) {
  let colour = colours.get(rgb);
  if (!colour) {
    colour = `#${rgb.toString(16).padStart(6, '0')}`;
    colours.set(rgb, colour);
  }
  return colour;
}

// Word-wrapped lines of a caption within a width, each with its width.
function wrap(text, width) {
  const lines = [];
  const add = (line) => lines.push({ line, width: ctx.measureText(line).width });
  for (const paragraph of text.split('\n')) {
    let line = '';
    for (const word of paragraph.split(' ')) {
      const tried = line ? `${line} ${word}` : word;
      if (line && ctx.measureText(tried).width > width) {
        add(line);
        line = word;
      } else {
        line = tried;
      }
    }
    add(line);
  }
  return lines;
}

// A caption is laid out once for its text, font and width, not at every
// frame; the numbers that change at every step fill the cache, which then
// starts again.
const layouts = new Map();
function layoutOf(text, font, width) {
  const key = `${font}|${width}|${text}`;
  let lines = layouts.get(key);
  if (!lines) {
    if (layouts.size >= 512) {
      layouts.clear();
    }
    lines = wrap(text, width);
    layouts.set(key, lines);
  }
  return lines;
}

// A scene's text item: its font, colour and alignment come with it.
function drawText(text, font, px, underline, rgb, centre, middle, left, top, width, height) {
  ctx.font = font;
  ctx.fillStyle = cssColour(rgb);
  ctx.textBaseline = 'top';
  ctx.textAlign = centre ? 'center' : 'left';
  const lines = layoutOf(text, font, width);
  const lineHeight = Math.round(px * 1.15);
  let y = middle ? top + (height - lines.length * lineHeight) / 2 : top;
  for (const { line, width: w } of lines) {
    const x = centre ? left + width / 2 : left;
    ctx.fillText(line, x, y);
    if (underline) {
      ctx.fillRect(centre ? x - w / 2 : x, y + px, w, Math.max(1, px / 14));
    }
    y += lineHeight;
  }
}

// What the test hook and the bench read of the last frames: how long each
// took to draw, and whether it showed anything new (a frame whose items all
// stood where they stood before changes nothing on the screen).
const frameStats = {
  drawn: 0,
  changed: 0,
  times: new Float64Array(60),
  began: 0,
  hash: 0,
  lastHash: 0,
  note(a, b, c, d) {
    let h = this.hash;
    h = (Math.imul(h, 31) + Math.round(a * scale)) | 0;
    h = (Math.imul(h, 31) + Math.round(b * scale)) | 0;
    h = (Math.imul(h, 31) + Math.round(c * scale)) | 0;
    this.hash = (Math.imul(h, 31) + Math.round(d * scale)) | 0;
  },
  noteText(text) {
    let h = this.hash;
    for (let i = 0; i < text.length; i += 1) {
      h = (Math.imul(h, 31) + text.charCodeAt(i)) | 0;
    }
    this.hash = h;
  },
  begin() {
    this.began = performance.now();
    this.hash = 0;
  },
  end() {
    this.times[this.drawn % this.times.length] = performance.now() - this.began;
    this.drawn += 1;
    this.changed += this.hash !== this.lastHash ? 1 : 0;
    this.lastHash = this.hash;
  },
  read() {
    const kept = this.times.slice(0, Math.min(this.drawn, this.times.length));
    return { drawn: this.drawn, changed: this.changed, drawingMs: [...kept] };
  },
};

// Motion drawn between the game's steps, or the plain steps: ?smoothing=0
// for this visit, else the box below the game, remembered.
function storedSmoothing() {
  const asked = new URLSearchParams(location.search).get('smoothing');
  if (asked !== null) {
    return asked !== '0';
  }
  return localStorage.getItem('kestrada.smoothing') !== 'off';
}
let smoothing = storedSmoothing();
function addSmoothingSetting() {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.id = 'smoothing';
  box.checked = smoothing;
  box.addEventListener('change', () => {
    smoothing = box.checked;
    localStorage.setItem('kestrada.smoothing', smoothing ? 'on' : 'off');
    if (window.Module && Module._kestrada_set_smoothing) {
      Module._kestrada_set_smoothing(smoothing);
    }
  });
  label.append(' · ', box, ' Smooth motion');
  document.getElementById('run').append(label);
}
addSmoothingSetting();

// ---- the menu bar -----------------------------------------------------------

// "&File" as the text File with its access key underlined.
function captionNode(caption) {
  const span = document.createElement('span');
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) {
    span.textContent = caption.replace('&', '');
    return span;
  }
  span.append(caption.slice(0, at));
  const key = document.createElement('u');
  key.textContent = caption[at + 1];
  span.append(key, caption.slice(at + 2));
  return span;
}

const menus = {
  bar: document.getElementById('menubar'),
  open: null,
  entries: new Map(),
  add(menu, item, name, caption, shortcut, checkable, separatorAbove) {
    if (item < 0) {
      const title = document.createElement('div');
      title.className = 'menu';
      const button = document.createElement('button');
      button.className = 'title';
      const list = document.createElement('div');
      list.className = 'items';
      title.append(button, list);
      this.bar.append(title);
      button.addEventListener('click', () => this.toggle(title));
      button.addEventListener('mouseenter', () => this.open && this.open !== title && this.toggle(title));
      this.entries.set(`${menu}`, { element: title, button, list, caption: null });
      return;
    }
    const parent = this.entries.get(`${menu}`);
    if (separatorAbove) {
      parent.list.append(document.createElement('hr'));
    }
    const button = document.createElement('button');
    button.className = 'item';
    button.dataset.command = item;
    button.dataset.name = name;
    const check = document.createElement('span');
    check.className = 'check';
    const text = document.createElement('span');
    const keys = document.createElement('span');
    keys.className = 'shortcut';
    keys.textContent = shortcut;
    button.append(check, text, keys);
    button.addEventListener('click', () => {
      this.close();
      Module._kestrada_menu(item);
    });
    parent.list.append(button);
    this.entries.set(`${menu}.${item}`, { element: button, button, text, check, checkable, shortcut, caption: null });
  },
  state(menu, item, caption, checked, enabled, visible) {
    const e = this.entries.get(item < 0 ? `${menu}` : `${menu}.${item}`);
    if (e.caption !== caption) {
      e.caption = caption;
      (e.text || e.button).replaceChildren(captionNode(caption));
    }
    const mark = e.checkable && checked ? '✓' : '';
    if (e.check && e.check.textContent !== mark) {
      e.check.textContent = mark;
    }
    // Only what changed is written: the page does this at every frame.
    if (e.button.disabled !== !enabled) {
      e.button.disabled = !enabled;
    }
    if (e.element.hidden !== !visible) {
      e.element.hidden = !visible;
    }
    e.enabled = enabled && visible;
  },
  toggle(title) {
    const wasOpen = this.open === title;
    this.close();
    if (!wasOpen) {
      title.classList.add('open');
      this.open = title;
    }
  },
  close() {
    document.body.classList.remove('menu-open');
    if (this.open) {
      this.open.classList.remove('open');
      this.open = null;
    }
  },
  // Ctrl+letter runs the item with that shortcut, where the browser lets the
  // page have the key.
  shortcut(event) {
    for (const [key, e] of this.entries) {
      if (key.includes('.') && e.enabled && e.shortcut === `Ctrl+${event.key.toUpperCase()}`) {
        Module._kestrada_menu(Number(e.button.dataset.command));
        return true;
      }
    }
    return false;
  },
};
// On a touch screen the menus fold into one button, which opens them all
// as a sheet (with the run's links); a tap outside closes it.
const menuButton = document.getElementById('menu-button');
menuButton.addEventListener('click', () => {
  const opening = !document.body.classList.contains('menu-open');
  menus.close();
  document.body.classList.toggle('menu-open', opening);
});
document.addEventListener('click', (event) => {
  if (!menus.bar.contains(event.target) && event.target !== menuButton) {
    menus.close();
  }
});

// ---- dialogs ------------------------------------------------------------------

const dialog = document.getElementById('dialog');
function showDialog(title, text) {
  document.getElementById('dialog-title').textContent = title;
  document.getElementById('dialog-text').textContent = text.replace(/\r\n/g, '\n');
  dialog.showModal();
  document.getElementById('dialog-ok').focus();
}
document.getElementById('dialog-ok').addEventListener('click', () => dialog.close());

// ---- sound ----------------------------------------------------------------------

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
  watching: new URLSearchParams(location.search).get('watch') === 'sound',
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

// ---- storage, recording, replay ---------------------------------------------

const statusLine = document.getElementById('status');
function persist() {
  FS.syncfs(false, (error) => {
    if (error) {
      statusLine.textContent = 'The high score could not be stored in this browser.';
    }
  });
}

document.getElementById('download').addEventListener('click', (event) => {
  const text = UTF8ToString(Module._kestrada_recording());
  event.currentTarget.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
});

// The hall of fame's highlighted run, from the page's storage.
const chosenRun = document.getElementById('chosen-run');
document.getElementById('download-chosen').addEventListener('click', (event) => {
  const link = event.currentTarget;
  const text = FS.readFile(chosenRun.dataset.path, { encoding: 'utf8' });
  link.download = chosenRun.dataset.path.split('/').pop();
  link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
});
function showChosenRun(path) {
  chosenRun.hidden = path === '';
  chosenRun.dataset.path = path;
}

// A click or a tap on the hall of fame, handed over in the scene's pixels.
canvas.addEventListener('pointerdown', (event) => {
  const box = canvas.getBoundingClientRect();
  const x = (event.clientX - box.left) * kWidth / box.width;
  const y = (event.clientY - box.top) * kHeight / box.height;
  if (Module._kestrada_click && Module._kestrada_click(x, y)) {
    event.preventDefault();
  }
});

// Calls an exported function with a string, handing back what it returns.
function withText(text, call) {
  const bytes = lengthBytesUTF8(text) + 1;
  const at = Module._malloc(bytes);
  stringToUTF8(text, at, bytes);
  const result = call(at);
  Module._free(at);
  return result;
}

function replayText(text) {
  statusLine.textContent = UTF8ToString(withText(text, (at) => Module._kestrada_replay(at)));
}
async function replayFile(file) {
  if (file) {
    replayText(await file.text());
  }
}
document.getElementById('replay').addEventListener('change', (event) => replayFile(event.target.files[0]));
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  replayFile(event.dataTransfer.files[0]);
});

// ---- keys the page keeps for itself ---------------------------------------------

document.addEventListener('keydown', (event) => {
  if (!event.ctrlKey || dialog.open) {
    return;
  }
  if (event.key === '+' || event.key === '=') {
    setZoom(chosenZoom + 1);
  } else if (event.key === '-') {
    setZoom(chosenZoom - 1);
  } else if (!menus.shortcut(event)) {
    return;
  }
  event.preventDefault();
});

// ---- touch ------------------------------------------------------------------------

// The touch controls show on a touch screen, or from the first touch. On
// every touch event each finger is found by where it is now, so a finger
// sliding from one control to the next moves with it, and the set of keys
// under the fingers is handed over whole: a lost touchend cannot leave a key
// held. The game makes key-downs and key-ups of the changes.
const touch = {
  controls: [...document.querySelectorAll('.touch-pad [data-key]')],
  held: '',
  show() {
    if (!document.body.classList.contains('touch')) {
      document.body.classList.add('touch');
      menus.bar.append(document.getElementById('run'));
      document.getElementById('touch-left').append(statusLine);
      fitCanvas();
    }
  },
  update(event) {
    const keys = new Set();
    for (const finger of event.touches) {
      const under = document.elementFromPoint(finger.clientX, finger.clientY);
      const control = under && under.closest('.touch-pad [data-key]');
      if (control) {
        keys.add(control.dataset.key);
      }
    }
    for (const control of this.controls) {
      control.classList.toggle('held', keys.has(control.dataset.key));
    }
    const names = [...keys].join(' ');
    if (names !== this.held && Module._kestrada_touches) {
      this.held = names;
      withText(names, (at) => Module._kestrada_touches(at));
    }
  },
  state(gameOver) {
    document.body.classList.toggle('game-over', gameOver);
  },
};
if (matchMedia('(pointer: coarse)').matches) {
  touch.show();
}
for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
  document.addEventListener(type, (event) => {
    touch.show();
    touch.update(event);
    // No mouse events, double-tap zoom or long-press menu from the controls.
    if (event.target.closest && event.target.closest('.touch-pad [data-key]')) {
      event.preventDefault();
    }
  }, { passive: false });
}

// Full screen where the browser allows it, held in the orientation it was
// asked for where the browser can, so that a tilted phone does not turn the
// screen (and pause the game) by accident.
const fullScreenButton = document.getElementById('fullscreen');
fullScreenButton.hidden = !document.fullscreenEnabled;
fullScreenButton.addEventListener('click', async () => {
  if (document.fullscreenElement) {
    document.exitFullscreen();
    return;
  }
  try {
    await document.documentElement.requestFullscreen();
    await screen.orientation.lock(screen.orientation.type);
  } catch (error) {
    // Full screen refused, or no lock: the page plays on as it is.
  }
});
document.addEventListener('fullscreenchange', () => {
  fullScreenButton.textContent = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
});

// Turning the screen or hiding the page pauses a running game, as leaving
// the tab does.
const leave = () => Module._kestrada_leave && Module._kestrada_leave();
window.addEventListener('orientationchange', leave);
window.addEventListener('pagehide', leave);
if (screen.orientation) {
  screen.orientation.addEventListener('change', leave);
}

// ---- the name on a phone ------------------------------------------------------------

// On a touch screen a real text input lies over the hall of fame's name
// field, so the phone's own keyboard (its dictation, its scripts) types the
// name. The whole text goes to the game at each change, whose rules clean
// and cut it; Enter or the keyboard's Done keeps it. Its keys are its own:
// the game's key handling never sees them.
const nameInput = document.getElementById('name-input');
const nameField = { shown: false, editing: false, centre: [0, 0] };
function showNameField(shown, editing, name, left, top, width, height) {
  nameField.shown = shown;
  nameField.editing = editing;
  nameField.centre = [left + width / 2, top + height / 2];
  nameInput.hidden = !shown;
  const css = canvas.clientWidth / kWidth;
  Object.assign(nameInput.style, {
    left: `${left * css}px`, top: `${top * css}px`, width: `${width * css}px`, height: `${height * css}px`,
  });
  if (document.activeElement !== nameInput) {
    nameInput.value = name;
  } else if (!editing) {
    nameInput.blur();
  }
}
function keepName() {
  if (nameField.editing) {
    Module._kestrada_name_confirm();
  }
}
nameInput.addEventListener('focus', () => {
  // A tap on the field gives it the keys, as on the canvas.
  if (!nameField.editing) {
    Module._kestrada_click(...nameField.centre);
  }
});
nameInput.addEventListener('input', () => {
  withText(nameInput.value, (at) => Module._kestrada_name_text(at));
});
nameInput.addEventListener('blur', keepName);
for (const type of ['keydown', 'keyup']) {
  window.addEventListener(type, (event) => {
    if (event.target !== nameInput) {
      return;
    }
    event.stopImmediatePropagation();
    if (type === 'keydown' && event.key === 'Enter') {
      keepName();
      nameInput.blur();
    }
  }, true);
}

// ---- start ------------------------------------------------------------------------

let firstFrameAt = null;
let readyAt = null;
const kestradaPage = {
  showDialog,
  dialogOpen: () => dialog.open,
  preload: pictureNamed,
  beginFrame() {
    frameStats.begin();
    ctx.setTransform(scale, 0, 0, scale, 0, 0);
  },
  // At the size it was rendered for, copied pixel for pixel; a burst that
  // grows is drawn from its one larger rendering.
  picture(file, renderedWidth, renderedHeight, left, top, width, height, opacity) {
    const raster = rasterOf(file, Math.round(renderedWidth * scale), Math.round(renderedHeight * scale));
    if (!raster) {
      return;
    }
    frameStats.note(left, top, width, opacity);
    ctx.globalAlpha = opacity;
    if (width === renderedWidth && height === renderedHeight) {
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      ctx.drawImage(raster, Math.round(left * scale), Math.round(top * scale));
      ctx.setTransform(scale, 0, 0, scale, 0, 0);
    } else {
      ctx.drawImage(raster, snap(left), snap(top), width, height);
    }
    ctx.globalAlpha = 1;
  },
  fill(rgb, left, top, width, height) {
    frameStats.note(rgb, left, top, width + height);
    ctx.fillStyle = cssColour(rgb);
    ctx.fillRect(snap(left), snap(top), width, height);
  },
  text(text, font, px, underline, rgb, centre, middle, background, left, top, width, height) {
    if (background >= 0) {
      this.fill(background, left, top, width, height);
    }
    frameStats.noteText(text);
    frameStats.note(rgb, left, top, width);
    drawText(text, font, px, underline, rgb, centre, middle, snap(left), snap(top), width, height);
  },
  line(rgb, width, x1, y1, x2, y2) {
    frameStats.note(x1, y1, x2, y2);
    ctx.strokeStyle = cssColour(rgb);
    ctx.lineWidth = width;
    ctx.lineCap = 'round';
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
  },
  endFrame(title, hidePointer) {
    if (document.title !== title) {
      document.title = title;
    }
    const cursor = hidePointer ? 'none' : 'default';
    if (canvas.style.cursor !== cursor) {
      canvas.style.cursor = cursor;
    }
    if (firstFrameAt === null) {
      firstFrameAt = performance.now();
    }
    frameStats.end();
  },
  menus,
  sound,
  touch,
  persist,
  chosenRun: showChosenRun,
  nameField: showNameField,
  ended() {
    statusLine.textContent = 'Kestrada has ended. Reload the page to play again.';
  },
};

var Module = {
  canvas,
  preRun: [() => {
    // The high score lives in the browser's storage, read before the game.
    FS.mkdir('/data');
    FS.mount(IDBFS, {}, '/data');
    addRunDependency('stored-high-score');
    FS.syncfs(true, (error) => {
      if (error) {
        statusLine.textContent = 'The stored high score could not be read.';
      }
      removeRunDependency('stored-high-score');
    });
  }],
  onRuntimeInitialized() {
    const cover = document.getElementById('cover');
    cover.textContent = document.body.classList.contains('touch') ? 'Tap to play'
      : 'Click or press a key to play';
    readyAt = performance.now();
    sound.fetchFiles();
    // A click, not a pointer going down: a touch lets the page start sound
    // only once the finger lifts.
    const begin = async (event) => {
      event.preventDefault();
      event.stopPropagation();
      cover.removeEventListener('click', begin);
      window.removeEventListener('keydown', begin, true);
      await sound.unlock();
      cover.hidden = true;
      const query = new URLSearchParams(location.search);
      const seed = query.get('seed');
      // A test steps the clock by hand (?clock=stepped): no frame runs but its.
      if (query.get('clock') === 'stepped') {
        Module._kestrada_stepped_clock();
      }
      Module._kestrada_begin(seed === null ? _page_milliseconds_since_midnight() : Number(seed) >>> 0);
      Module._kestrada_set_smoothing(smoothing);
    };
    cover.addEventListener('click', begin);
    window.addEventListener('keydown', begin, true);
  },
};

// The page's test hook.
window.kestrada = {
  state: () => JSON.parse(UTF8ToString(Module._kestrada_state())),
  recording: () => UTF8ToString(Module._kestrada_recording()),
  hallOfFame: () => UTF8ToString(Module._kestrada_hall_of_fame()).split('\n').filter(Boolean),
  hallOfFameShown: () => Module._kestrada_hall_of_fame_shown(),
  audioState: () => (sound.context ? sound.context.state : 'none'),
  peak: () => sound.peak(),
  firstFrameAt: () => firstFrameAt,
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
let steppedNow = 0;

fitCanvas();
