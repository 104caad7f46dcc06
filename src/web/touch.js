// SPDX-License-Identifier: GPL-3.0-or-later
// A phone or a tablet: the touch controls, full screen, turning the screen.
// Gives: touch.
'use strict';

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
