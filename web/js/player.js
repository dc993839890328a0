// Plays one animation of a sprite sheet on a canvas: each frame stays for
// exactly the milliseconds the sheet's data gives it, however often the
// browser paints.

// The frames of a sheet's data (Aseprite's json-hash layout), in order.
export function sheetFrames(data) {
  return Object.values(data.frames).map(({ frame, duration }) => ({ ...frame, duration: Math.max(duration, 1) }));
}

// The frame shown `elapsed` ms after frame `index` began, and how far into
// it that is: frames advance one by one, wrapping, so none is skipped in
// the count even when the browser paints late.
export function advance(frames, index, elapsed) {
  const cycle = frames.reduce((sum, frame) => sum + frame.duration, 0);
  let rest = elapsed % cycle;  // whole cycles missed while hidden change nothing
  while (rest >= frames[index].duration) {
    rest -= frames[index].duration;
    index = (index + 1) % frames.length;
  }
  return { index, into: rest };
}

export class SheetPlayer {
  // `onFrame(index, count)` is told after every frame drawn.
  constructor(canvas, onFrame) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d');
    this.onFrame = onFrame;
    this.frames = [];
    this.image = null;
    this.index = 0;
    this.playing = true;
    this.began = 0;  // when the shown frame began, on performance.now()'s clock
    this.request = 0;
    this.tick = (now) => this.advanceTo(now);
  }

  get frame() {
    return this.index;
  }

  // Shows a new sheet. The frame number is kept when the new animation has
  // it (a changed outfit goes on where it was), else it starts over.
  show(image, frames, keepFrame) {
    this.image?.close?.();
    this.image = image;
    this.frames = frames;
    if (!keepFrame || this.index >= frames.length) this.index = 0;
    const { w, h } = frames[0];
    if (this.canvas.width !== w || this.canvas.height !== h) {
      this.canvas.width = w;
      this.canvas.height = h;
    }
    this.began = performance.now();
    this.draw();
    this.schedule();
  }

  setPlaying(playing) {
    this.playing = playing;
    this.began = performance.now();
    this.schedule();
  }

  step(delta) {
    if (!this.frames.length) return;
    this.index = (this.index + delta + this.frames.length) % this.frames.length;
    this.began = performance.now();
    this.draw();
  }

  schedule() {
    cancelAnimationFrame(this.request);
    if (this.playing && this.frames.length > 1) this.request = requestAnimationFrame(this.tick);
  }

  advanceTo(now) {
    const { index, into } = advance(this.frames, this.index, now - this.began);
    if (index !== this.index) {
      this.index = index;
      this.began = now - into;
      this.draw();
    }
    this.request = requestAnimationFrame(this.tick);
  }

  draw() {
    const { x, y, w, h } = this.frames[this.index];
    this.context.clearRect(0, 0, w, h);
    this.context.drawImage(this.image, x, y, w, h, 0, 0, w, h);
    this.onFrame(this.index, this.frames.length);
  }
}
