// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas at its zoom, and the per-frame path: the pictures, fills,
// captions and lines of each scene the game hands over, and what the test
// hook and the bench read of the frames. Gives: canvas, playArea,
// chosenZoom, fitCanvas, setZoom, drawing, frameStats.
'use strict';

const canvas = document.getElementById('screen');

// The play area in the scene's pixels and the zooms a player chooses from.
// The build writes the game's own numbers onto the canvas in index.html,
// so the page has them, and the canvas its size, before any script runs.
const playArea = {
  width: canvas.width,
  height: canvas.height,
  minZoom: Number(canvas.dataset.minZoom),
  maxZoom: Number(canvas.dataset.maxZoom),
};

// Opaque: the scene covers the whole play area, and an opaque canvas is
// cheaper to put on the screen.
const ctx = canvas.getContext('2d', { alpha: false });

function storedZoom() {
  const zoom = Number(localStorage.getItem('kestrada.zoom'));
  return zoom >= playArea.minZoom && zoom <= playArea.maxZoom ? Math.floor(zoom) : playArea.minZoom;
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
    return playArea.width > room ? room / playArea.width : chosenZoom;
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
  return Math.max(0.25, Math.min(width / playArea.width, height / playArea.height));
}

// The canvas holds a device pixel for each pixel on the screen, so the
// pictures are drawn from their vectors at full sharpness; its size on the
// page follows from whole device pixels.
function fitCanvas() {
  zoom = fittedZoom();
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.floor(playArea.width * zoom * ratio);
  scale = canvas.width / playArea.width;
  rasters.clear();
  canvas.height = Math.round(playArea.height * scale);
  canvas.style.width = `${canvas.width / ratio}px`;
  canvas.style.height = `${canvas.height / ratio}px`;
  document.getElementById('menubar').style.width = `${canvas.width / ratio}px`;
}

function setZoom(value) {
  chosenZoom = Math.min(playArea.maxZoom, Math.max(playArea.minZoom, value));
  localStorage.setItem('kestrada.zoom', String(chosenZoom));
  fitCanvas();
}

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

// What the test hook and the bench read of the frames: when the first was
// drawn, how long each of the last took, and whether it showed anything new
// (a frame whose items all stood where they stood before changes nothing
// on the screen).
const frameStats = {
  firstAt: null,
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
    if (this.firstAt === null) {
      this.firstAt = performance.now();
    }
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

// The calls of a frame, in the scene's pixels, as the game makes them.
const drawing = {
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
      drawing.fill(background, left, top, width, height);
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
    frameStats.end();
  },
};
