// SPDX-License-Identifier: GPL-3.0-or-later
// The page around the game, loaded after drawing.js, menus.js, sound.js and
// touch.js: the stored high score, recording and replay by file, the
// settings' boxes, the calls the game makes into the page (page_library.js
// hands them here), and the start: the cover that unlocks the sound.
'use strict';

const query = new URLSearchParams(location.search);
const statusLine = document.getElementById('status');

// Calls an exported function with a string, handing back what it returns.
function withText(text, call) {
  const bytes = lengthBytesUTF8(text) + 1;
  const at = Module._malloc(bytes);
  stringToUTF8(text, at, bytes);
  const result = call(at);
  Module._free(at);
  return result;
}

// ---- settings -----------------------------------------------------------------

// Motion drawn between the game's steps, or the plain steps: ?smoothing=0
// for this visit, else the box below the game, remembered.
function storedSmoothing() {
  const asked = query.get('smoothing');
  if (asked !== null) {
    return asked !== '0';
  }
  return localStorage.getItem('kestrada.smoothing') !== 'off';
}
let smoothing = storedSmoothing();
// Today's road races the day's leader unless its box, remembered, says not.
let raceLeader = localStorage.getItem('kestrada.race-leader') !== 'off';

// A box below the game whose choice the browser keeps under its id; change
// takes the new choice (the game has it at its start, or at once once begun).
function addSetting(id, text, on, change) {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.id = id;
  box.checked = on;
  box.addEventListener('change', () => {
    localStorage.setItem(`kestrada.${id}`, box.checked ? 'on' : 'off');
    change(box.checked);
  });
  label.append(' · ', box, ` ${text}`);
  document.getElementById('run').append(label);
}
function addSettings() {
  addSetting('smoothing', 'Smooth motion', smoothing, (on) => {
    smoothing = on;
    if (window.Module && Module._kestrada_set_smoothing) {
      Module._kestrada_set_smoothing(on);
    }
  });
  addSetting('race-leader', "Race today's leader", raceLeader, (on) => {
    raceLeader = on;
    if (window.Module && Module._kestrada_set_race_leader) {
      Module._kestrada_set_race_leader(on);
    }
  });
}

// ---- storage, recording, replay ---------------------------------------------

function persist() {
  FS.syncfs(false, (error) => {
    if (error) {
      statusLine.textContent = 'The high score could not be stored in this browser.';
    }
  });
}

// The session so far, as "Download this run" and the test hook have it.
function recordingText() {
  return UTF8ToString(Module._kestrada_recording());
}

// A download link handing over a text as it is clicked.
function offer(link, text) {
  link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
}
document.getElementById('download').addEventListener('click', (event) => {
  offer(event.currentTarget, recordingText());
});

// The hall of fame's highlighted run, from the page's storage.
const chosenRun = document.getElementById('chosen-run');
document.getElementById('download-chosen').addEventListener('click', (event) => {
  const link = event.currentTarget;
  link.download = chosenRun.dataset.path.split('/').pop();
  offer(link, FS.readFile(chosenRun.dataset.path, { encoding: 'utf8' }));
});
function showChosenRun(path) {
  chosenRun.hidden = path === '';
  chosenRun.dataset.path = path;
}

// A click or a tap on the hall of fame, handed over in the scene's pixels.
canvas.addEventListener('pointerdown', (event) => {
  const box = canvas.getBoundingClientRect();
  const x = (event.clientX - box.left) * playArea.width / box.width;
  const y = (event.clientY - box.top) * playArea.height / box.height;
  if (Module._kestrada_click && Module._kestrada_click(x, y)) {
    event.preventDefault();
  }
});

function replayText(text) {
  statusLine.textContent = UTF8ToString(withText(text, (at) => Module._kestrada_replay(at)));
}
async function replayFile(file) {
  if (file) {
    replayText(await file.text());
  }
}
// A run to race (?race=URL, a run's recording on this origin, or a file):
// its ghost drives beside a new game from the next frame.
function raceText(text) {
  statusLine.textContent = UTF8ToString(withText(text,
    (at) => withText('the run', (name) => Module._kestrada_race(at, name))));
}
async function raceUrl(url) {
  try {
    const answer = await fetch(url);
    if (!answer.ok) {
      throw new Error(`${answer.status}`);
    }
    raceText(await answer.text());
  } catch {
    statusLine.textContent = 'The run to race could not be fetched.';
  }
}
async function raceFile(file) {
  if (file) {
    raceText(await file.text());
  }
}
document.getElementById('replay').addEventListener('change', (event) => replayFile(event.target.files[0]));
document.getElementById('race').addEventListener('change', (event) => raceFile(event.target.files[0]));
document.addEventListener('dragover', (event) => event.preventDefault());
// A file dropped on the game races it; dropped beside it, replays it.
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const onGame = event.target instanceof Node && document.getElementById('screen').contains(event.target);
  (onGame ? raceFile : replayFile)(event.dataTransfer.files[0]);
});

// ---- start ------------------------------------------------------------------------

// What the game calls (page_library.js and world_library.js).
const kestradaPage = {
  ...drawing,
  showDialog,
  dialogOpen: () => dialog.open,
  menus,
  sound,
  touch,
  persist,
  withText,
  chosenRun: showChosenRun,
  nameField: showNameField,
  ended() {
    statusLine.textContent = 'Kestrada has ended. Reload the page to play again.';
  },
};

let readyAt = null;
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
      const seed = query.get('seed');
      // A test steps the clock by hand (?clock=stepped): no frame runs but its.
      if (query.get('clock') === 'stepped') {
        Module._kestrada_stepped_clock();
      }
      Module._kestrada_begin(seed === null ? _page_milliseconds_since_midnight() : Number(seed) >>> 0);
      Module._kestrada_set_smoothing(smoothing);
      Module._kestrada_set_race_leader(raceLeader);
      if (query.get('race') !== null) {
        raceUrl(query.get('race'));
      }
    };
    cover.addEventListener('click', begin);
    window.addEventListener('keydown', begin, true);
  },
};

// Only a test or the bench (?watch=sound) asks when a play was heard.
sound.watching = query.get('watch') === 'sound';
addSettings();
if (matchMedia('(pointer: coarse)').matches) {
  touch.show();
}
// The canvas takes its zoom before the first paint: the page does not
// jump as the game loads.
fitCanvas();
window.addEventListener('resize', fitCanvas);
