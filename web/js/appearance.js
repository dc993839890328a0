// The appearance selectors: job, hair and its colour, face and eye colour,
// body, tops and bottoms, filled from the service's selector entries of
// the character's gender. A person's choice tells which base part to put
// on; an outfit put on otherwise (a link, a random outfit) only moves the
// selections, as the desktop program's selectors follow a loaded slot.

// The style entry holding colour `id` and that colour's position, or -1s.
function findStyle(styles, id) {
  for (let style = 0; style < styles.length; ++style) {
    const color = styles[style].colors.findIndex((entry) => entry.id === id);
    if (color >= 0) return { style, color };
  }
  return { style: -1, color: -1 };
}

// The body entry that is item `id` itself or the record of its family.
function findBody(bodies, id) {
  return bodies.findIndex((entry) => entry.item === id || entry.id === id || entry.id === id - (id % 100));
}

function fillSelect(select, entries, caption) {
  select.replaceChildren(...entries.map((entry, index) => new Option(caption(entry), String(index))));
}

export class Appearance {
  // `elements`: the selects job, hair, hairColor, face, eyeColor, body and
  // the ranges tops, bottoms. `events`: base(part, itemId), job(job).
  constructor(elements, events) {
    this.elements = elements;
    this.events = events;
    this.selectors = null;
    const { job, hair, hairColor, face, eyeColor, body, tops, bottoms } = elements;
    job.addEventListener('change', () => events.job(this.selectors.jobs[job.selectedIndex].job));
    this.styleEvents(hair, hairColor, 'hair');
    this.styleEvents(face, eyeColor, 'face');
    body.addEventListener('change', () => {
      const item = this.selectors.body[body.selectedIndex]?.item;
      if (item != null) events.base('body', item);
    });
    for (const [range, part] of [[tops, 'tops'], [bottoms, 'bottoms']]) {
      range.addEventListener('input', () => this.describeRange(range, part));
      range.addEventListener('change', () => {
        const item = this.selectors[part][range.valueAsNumber];
        if (item) events.base(part, item.id);
      });
    }
  }

  styleEvents(styleSelect, colorSelect, part) {
    styleSelect.addEventListener('change', () => {
      const style = this.selectors[part][styleSelect.selectedIndex];
      // The colour keeps its position when the new style has as many.
      const position = colorSelect.selectedIndex < style.colors.length ? Math.max(0, colorSelect.selectedIndex) : 0;
      this.fillColors(colorSelect, style, position);
      if (style.colors[position]) this.events.base(part, style.colors[position].id);
    });
    colorSelect.addEventListener('change', () => {
      const style = this.selectors[part][styleSelect.selectedIndex];
      const color = style.colors[colorSelect.selectedIndex];
      if (color) this.events.base(part, color.id);
    });
  }

  fillColors(select, style, position) {
    fillSelect(select, style.colors, (entry) => entry.caption);
    select.selectedIndex = position;
    select.disabled = !style.colors_enabled;
  }

  // New entries: another gender, or another language's job names.
  fill(selectors) {
    this.selectors = selectors;
    const { job, hair, face, body, tops, bottoms } = this.elements;
    fillSelect(job, selectors.jobs, (entry) => entry.name);
    fillSelect(hair, selectors.hair, (entry) => entry.caption);
    fillSelect(face, selectors.face, (entry) => entry.caption);
    fillSelect(body, selectors.body, (entry) => entry.caption);
    for (const [range, part] of [[tops, 'tops'], [bottoms, 'bottoms']]) {
      range.max = Math.max(0, selectors[part].length - 1);
      range.disabled = !selectors[part].length;
    }
  }

  follow(outfit, jobNumber) {
    const { job, hair, hairColor, face, eyeColor, body, tops, bottoms } = this.elements;
    job.selectedIndex = this.selectors.jobs.findIndex((entry) => entry.job === jobNumber);
    for (const [styleSelect, colorSelect, part] of [[hair, hairColor, 'hair'], [face, eyeColor, 'face']]) {
      const { style, color } = findStyle(this.selectors[part], outfit.base?.[part]?.id);
      if (style < 0) continue;
      styleSelect.selectedIndex = style;
      this.fillColors(colorSelect, this.selectors[part][style], color);
    }
    const bodyId = outfit.base?.body?.id;
    const bodyEntry = bodyId == null ? -1 : findBody(this.selectors.body, bodyId);
    if (bodyEntry >= 0) body.selectedIndex = bodyEntry;
    for (const [range, part] of [[tops, 'tops'], [bottoms, 'bottoms']]) {
      const position = this.selectors[part].findIndex((entry) => entry.id === outfit.base?.[part]?.id);
      if (position >= 0) range.value = String(position);
      this.describeRange(range, part);
    }
  }

  describeRange(range, part) {
    const name = this.selectors[part][range.valueAsNumber]?.name ?? '';
    range.setAttribute('aria-valuetext', name);
    range.title = name;
    range.nextElementSibling.textContent = name;
  }
}
