// The item card beside an item: the picture the desktop program shows as
// the item's hint, its lines of text as the picture's alternative.

import { getJson, apiUrl } from './api.js';

const GAP = 8;  // px between the item and its card

export class ItemCard {
  constructor(element, picture) {
    this.element = element;
    this.picture = picture;
    this.items = new Map();  // id -> the item's record, or its promise
    this.shownId = null;
  }

  // Shows the card of item `id` beside `anchor` (a DOMRect in the window).
  async show(id, anchor) {
    this.shownId = id;
    let item = this.items.get(id);
    if (!item) {
      item = getJson(`/items/${id}`);
      this.items.set(id, item);
    }
    try {
      item = await item;
    } catch {
      this.items.delete(id);  // the card is not shown; another hover asks again
      return;
    }
    if (this.shownId !== id) return;  // moved on meanwhile
    const { width, height, lines } = item.card;
    this.picture.width = width;
    this.picture.height = height;
    this.picture.alt = lines.map((line) => line.text).join('\n');
    this.picture.src = apiUrl(`/items/${id}/card.png`);
    this.element.hidden = false;
    this.place(anchor, width, height);
  }

  hide() {
    this.shownId = null;
    this.element.hidden = true;
  }

  // Right of the anchor, else left of it, kept inside the window.
  place(anchor, width, height) {
    const right = window.innerWidth, bottom = window.innerHeight;
    let left = anchor.right + GAP;
    if (left + width > right) left = anchor.left - GAP - width;
    left = Math.max(0, Math.min(left, right - width));
    const top = Math.max(0, Math.min(anchor.top, bottom - height));
    this.element.style.left = `${left}px`;
    this.element.style.top = `${top}px`;
  }
}
