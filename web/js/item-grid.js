// The item browser's grid: the items of the browsed slot that pass the
// filters, as one listbox. Only the cells on screen (and a few rows around
// them) exist; the list is read from the service a page at a time as the
// grid reaches it, so the icons asked for are those of the cells shown.

import { getJson, query } from './api.js';

const PAGE_SIZE = 100;
const CELL = 52;          // px: a square cell; the stylesheet draws it so
const SPARE_ROWS = 2;     // rows made beyond the visible ones, each way
const LONG_PRESS_MS = 500;

// The first and last index (inclusive) of the cells to make, for a grid of
// `total` items in `columns` columns scrolled to `scrollTop` and showing
// `height` pixels.
export function visibleRange(scrollTop, height, columns, total) {
  if (!total) return [0, -1];
  const first = Math.max(0, Math.floor(scrollTop / CELL) - SPARE_ROWS);
  const last = Math.ceil((scrollTop + height) / CELL) + SPARE_ROWS;
  return [first * columns, Math.min(total, (last + 1) * columns) - 1];
}

// The index a key moves the active cell to, or null for a key the grid
// does not use.
export function movedIndex(key, index, columns, total, pageRows) {
  const moves = {
    ArrowLeft: index - 1,
    ArrowRight: index + 1,
    ArrowUp: index - columns,
    ArrowDown: index + columns,
    PageUp: index - columns * pageRows,
    PageDown: index + columns * pageRows,
    Home: 0,
    End: total - 1,
  };
  if (!(key in moves) || !total) return null;
  return Math.max(0, Math.min(total - 1, index < 0 ? 0 : moves[key]));
}

export class ItemGrid {
  // `events`: activate(item) on a click or Enter; card(item, rect) to show
  // an item's card and card(null) to hide it; count(total) when the list changes.
  constructor(viewport, events) {
    this.viewport = viewport;
    this.sizer = viewport.querySelector('.items-sizer');
    this.events = events;
    this.params = null;
    this.total = 0;
    this.pages = new Map();       // page number -> items, or null while it is asked for
    this.cells = new Map();       // index -> cell element shown
    this.spare = [];              // cells out of use, for reuse
    this.worn = new Set();
    this.active = -1;
    this.generation = 0;          // answers of an older list are dropped
    this.aborter = new AbortController();
    this.columns = 1;
    this.scheduled = false;
    this.pressTimer = 0;
    this.pressed = false;

    viewport.addEventListener('scroll', () => this.schedule(), { passive: true });
    new ResizeObserver(() => this.layout()).observe(viewport);
    viewport.addEventListener('click', (event) => this.onClick(event));
    viewport.addEventListener('keydown', (event) => this.onKey(event));
    viewport.addEventListener('pointerover', (event) => this.onPointerOver(event));
    // A finger leaves when lifted: the card of a long press stays.
    viewport.addEventListener('pointerleave', (event) => event.pointerType !== 'touch' && this.events.card(null));
    viewport.addEventListener('pointerdown', (event) => this.onPointerDown(event));
    // A finger lifted early, or scrolling (which cancels the pointer), is no long press.
    for (const type of ['pointerup', 'pointercancel']) viewport.addEventListener(type, () => clearTimeout(this.pressTimer));
    viewport.addEventListener('contextmenu', (event) => {
      if (this.pressed) event.preventDefault();  // a long press shows the card, not the menu
    });
    viewport.addEventListener('focus', () => {
      if (this.active < 0 && this.total) this.setActive(0, false);
    });
  }

  // Lists the items of `params` ({gender, slot, job, filter, weapon, q}) from the top.
  async setQuery(params) {
    this.params = params;
    this.aborter.abort();
    this.aborter = new AbortController();
    const generation = ++this.generation;
    this.pages.clear();
    this.active = -1;
    this.viewport.removeAttribute('aria-activedescendant');
    const first = await this.fetchPage(0, generation);
    if (generation !== this.generation) return;
    this.total = first.total;
    this.viewport.scrollTop = 0;
    this.clearCells();
    this.events.count(this.total);
    this.layout();
  }

  setWorn(ids) {
    this.worn = ids;
    for (const [index, cell] of this.cells) this.fillCell(cell, index);
  }

  item(index) {
    return this.pages.get(Math.floor(index / PAGE_SIZE))?.[index % PAGE_SIZE];
  }

  async fetchPage(page, generation) {
    this.pages.set(page, null);
    try {
      const answer = await getJson(`/items${query({ ...this.params, offset: page * PAGE_SIZE, limit: PAGE_SIZE })}`,
                                   this.aborter.signal);
      if (generation === this.generation) this.pages.set(page, answer.items);
      return answer;
    } catch (error) {
      if (generation === this.generation) this.pages.delete(page);  // asked again when shown again
      throw error;
    }
  }

  layout() {
    this.columns = Math.max(1, Math.floor(this.viewport.clientWidth / CELL));
    this.sizer.style.height = `${Math.ceil(this.total / this.columns) * CELL}px`;
    this.clearCells();  // every cell's place changes with the columns
    this.render();
  }

  schedule() {
    if (this.scheduled) return;
    this.scheduled = true;
    requestAnimationFrame(() => {
      this.scheduled = false;
      this.render();
    });
  }

  render() {
    const [first, last] = visibleRange(this.viewport.scrollTop, this.viewport.clientHeight, this.columns, this.total);
    for (const [index, cell] of this.cells) {
      if (index >= first && index <= last) continue;
      cell.remove();
      this.spare.push(cell);
      this.cells.delete(index);
    }
    for (let index = first; index <= last; ++index) {
      const page = Math.floor(index / PAGE_SIZE);
      if (!this.pages.has(page)) {
        const generation = this.generation;
        this.fetchPage(page, generation).then(() => generation === this.generation && this.refill(page), () => {});
      }
      if (this.cells.has(index)) continue;
      const cell = this.spare.pop() ?? this.makeCell();
      cell.style.left = `${(index % this.columns) * CELL}px`;
      cell.style.top = `${Math.floor(index / this.columns) * CELL}px`;
      this.fillCell(cell, index);
      this.sizer.append(cell);
      this.cells.set(index, cell);
    }
  }

  refill(page) {
    for (const [index, cell] of this.cells)
      if (Math.floor(index / PAGE_SIZE) === page) this.fillCell(cell, index);
  }

  clearCells() {
    for (const cell of this.cells.values()) {
      cell.remove();
      this.spare.push(cell);
    }
    this.cells.clear();
  }

  makeCell() {
    const cell = document.createElement('div');
    cell.className = 'item';
    cell.setAttribute('role', 'option');
    const icon = document.createElement('img');
    icon.width = 32;
    icon.height = 32;
    icon.decoding = 'async';
    const initial = document.createElement('span');
    initial.className = 'initial';
    initial.setAttribute('aria-hidden', 'true');
    cell.append(icon, initial);
    return cell;
  }

  fillCell(cell, index) {
    const item = this.item(index);
    const [icon, initial] = cell.children;
    cell.id = `item-${index}`;
    cell.dataset.index = index;
    cell.setAttribute('aria-posinset', index + 1);
    cell.setAttribute('aria-setsize', this.total);
    cell.setAttribute('aria-selected', String(Boolean(item && this.worn.has(item.id))));
    cell.classList.toggle('active', index === this.active);
    cell.classList.toggle('loading', !item);
    cell.dataset.id = item ? item.id : '';
    icon.alt = item ? item.name : '';
    icon.hidden = !item?.icon;
    // An item without icon artwork shows its name's first letter.
    initial.textContent = item && !item.icon ? [...item.name][0] ?? '?' : '';
    if (item?.icon) {
      if (icon.getAttribute('src') !== item.icon) icon.src = item.icon;
    } else {
      icon.removeAttribute('src');
    }
  }

  setActive(index, showCard) {
    const previous = this.cells.get(this.active);
    previous?.classList.remove('active');
    this.active = index;
    this.viewport.setAttribute('aria-activedescendant', `item-${index}`);
    // Into view first: the cell exists only once its row is shown.
    const top = Math.floor(index / this.columns) * CELL;
    if (top < this.viewport.scrollTop) this.viewport.scrollTop = top;
    else if (top + CELL > this.viewport.scrollTop + this.viewport.clientHeight)
      this.viewport.scrollTop = top + CELL - this.viewport.clientHeight;
    this.render();
    const cell = this.cells.get(index);
    cell?.classList.add('active');
    const item = this.item(index);
    if (showCard && cell && item) this.events.card(item, cell.getBoundingClientRect());
  }

  cellOf(event) {
    return event.target.closest?.('.item');
  }

  onClick(event) {
    const cell = this.cellOf(event);
    if (this.pressed) {  // the end of a long press
      this.pressed = false;
      return;
    }
    if (!cell) return;
    const item = this.item(Number(cell.dataset.index));
    this.setActive(Number(cell.dataset.index), false);
    if (item) this.events.activate(item);
  }

  onKey(event) {
    if (event.key === 'Enter' || event.key === ' ') {
      const item = this.item(this.active);
      if (item) this.events.activate(item);
      event.preventDefault();
      return;
    }
    if (event.key === 'Escape') {
      this.events.card(null);
      return;
    }
    const pageRows = Math.max(1, Math.floor(this.viewport.clientHeight / CELL));
    const index = movedIndex(event.key, this.active, this.columns, this.total, pageRows);
    if (index === null) return;
    event.preventDefault();
    this.setActive(index, true);
  }

  onPointerOver(event) {
    if (event.pointerType === 'touch') return;
    const cell = this.cellOf(event);
    const item = cell && this.item(Number(cell.dataset.index));
    this.events.card(item ?? null, cell?.getBoundingClientRect());
  }

  onPointerDown(event) {
    this.pressed = false;
    if (event.pointerType !== 'touch') return;
    const cell = this.cellOf(event);
    const item = cell && this.item(Number(cell.dataset.index));
    if (!item) return;
    clearTimeout(this.pressTimer);
    this.pressTimer = setTimeout(() => {
      this.pressed = true;
      this.events.card(item, cell.getBoundingClientRect());
    }, LONG_PRESS_MS);
  }
}
