// The dress-up page: what is shown (the outfit, the animation, the view's
// options), kept in the address and drawn by the render service, and the
// controls wired to it.

import { ApiError, getBlob, getJson, onBusy, query } from './api.js';
import { applyTexts, language, switchLanguage, t } from './i18n.js';
import { desktopLink, formatAddress, parseAddress } from './address.js';
import * as outfits from './outfit.js';
import { SheetPlayer, sheetFrames } from './player.js';
import { ItemCard } from './card.js';
import { ItemGrid } from './item-grid.js';
import { Appearance } from './appearance.js';
import { copyText, showDownloadLinks } from './share.js';

const $ = (id) => document.getElementById(id);
const WEAPON_SLOT = 13;
// The slot cells as the desktop program's panel places them: three columns
// of slots 1 to 12, weapon and shield in a fourth, 0 for a gap.
const SLOT_LAYOUT = [1, 2, 3, 13, 4, 5, 6, 14, 7, 8, 9, 0, 10, 11, 12, 0];
const SCALE_KEY = 'varune-wardrobe.scale';

const state = {
  outfit: null,        // as the service answers it
  anim: 'Stand',
  job: 1,
  selectors: null,     // of the outfit's gender, in the page's language
  browse: { slot: 1, filter: 'all', weapon: 0, jobOnly: true, q: '' },
  background: '#ffffff',
  transparent: false,
  scale: 1,
};

// ---- Messages -------------------------------------------------------------------

let busyShown = false;

function showMessage(text) {
  $('message-text').textContent = text;
  $('message').hidden = false;
}

function report(error) {
  if (error?.name === 'AbortError') return;
  busyShown = false;
  if (error instanceof ApiError) showMessage(error.status === 0 ? t('unreachable') : error.message);
  else showMessage(String(error?.message ?? error));
  console.warn(error);
}

onBusy((seconds) => {
  if (seconds !== null) {
    showMessage(t('busy', seconds));
    busyShown = true;
  } else if (busyShown) {
    $('message').hidden = true;
    busyShown = false;
  }
});

// ---- The picture ----------------------------------------------------------------

const player = new SheetPlayer($('view'), (index, count) => {
  $('frame-number').textContent = t('frame', index + 1, count);
  // The still picture's links name the frame shown once it holds still.
  if (!player.playing) showDownloads();
});
let sheetAborter = new AbortController();
let ready = false;

function viewOptions() {
  return state.transparent ? { transparent: 1 } : { bg: state.background.slice(1) };
}

async function fetchSheet(code, signal) {
  const path = `/sheet/${code}`;
  const options = query({ anim: state.anim, job: state.job, ...viewOptions() });
  const [data, blob] = await Promise.all([getJson(`${path}.json${options}`, signal),
                                          getBlob(`${path}.png${options}`, signal)]);
  return { image: await createImageBitmap(blob), frames: sheetFrames(data) };
}

// Shows the sheet of what state says, or `early`, the same sheet asked for
// before the outfit was known (null: ask now).
async function loadSheet(keepFrame, early = null) {
  sheetAborter.abort();
  const aborter = (sheetAborter = new AbortController());
  try {
    const sheet = (await early) ?? await fetchSheet(state.outfit.code_url, aborter.signal);
    if (aborter.signal.aborted) return sheet.image.close();
    player.show(sheet.image, sheet.frames, keepFrame);
    if (!ready) {
      ready = true;
      performance.mark('varune-ready');
      document.body.dataset.ready = 'true';
    }
  } catch (error) {
    report(error);
  }
}

function showScale() {
  const canvas = $('view');
  canvas.style.width = `${canvas.width * state.scale}px`;
  canvas.style.height = `${canvas.height * state.scale}px`;
}
new ResizeObserver(showScale).observe($('view'));

function showDownloads() {
  if (!state.outfit) return;
  showDownloadLinks({ code: state.outfit.code_url, anim: state.anim, job: state.job, frame: player.frame,
                      background: state.background, transparent: state.transparent, scale: state.scale });
}

// ---- The outfit -----------------------------------------------------------------

const card = new ItemCard($('card'), $('card-picture'));
const grid = new ItemGrid($('items'), {
  activate: (item) => change(() => (outfits.wornIds(state.outfit).has(item.id)
    ? outfits.takeOff(state.outfit, state.job, item.id)
    : outfits.wear(state.outfit, state.job, item.id))),
  card: (item, rect) => (item ? card.show(item.id, rect) : card.hide()),
  count: (total) => ($('item-count').textContent = t('itemCount', total)),
});
const appearance = new Appearance(
  { job: $('job'), hair: $('hair'), hairColor: $('hair-color'), face: $('face'), eyeColor: $('eye-color'),
    body: $('body'), tops: $('tops'), bottoms: $('bottoms') },
  {
    base: (part, id) => change(() => outfits.withBase(state.outfit, state.job, part, id)),
    job: (job) => change(() => outfits.withJob(state.outfit, job), { job }),
  });

async function loadSelectors(gender) {
  state.selectors = await getJson(`/selectors${query({ gender, lang: language() })}`);
  appearance.fill(state.selectors);
  fillBrowserMenus();
  if (!state.selectors.animations.includes(state.anim)) state.anim = state.selectors.animations[0];
  const animation = $('animation');
  if (animation.options.length !== state.selectors.animations.length)
    animation.replaceChildren(...state.selectors.animations.map((name) => new Option(name, name)));
  animation.value = state.anim;
}

// Changes run one after another, each on the outfit the one before it gave:
// `dress` is called when the change before it is shown.
let changes = Promise.resolve();

function change(dress, { job = state.job } = {}) {
  changes = changes.then(async () => {
    try {
      const outfit = await dress();
      const genderChanged = outfit.gender !== state.outfit.gender;
      const jobChanged = job !== state.job;
      state.job = job;
      if (genderChanged) await loadSelectors(outfit.gender);
      showOutfit(outfit);
      if (genderChanged || (jobChanged && state.browse.jobOnly)) browse();
    } catch (error) {
      report(error);
    }
  });
  return changes;
}

// Shows a new outfit; the promise ends once its picture is drawn. `early`:
// its sheet, if already asked for.
function showOutfit(outfit, early = null) {
  state.outfit = outfit;
  for (const input of document.querySelectorAll('input[name="gender"]')) input.checked = input.value === outfit.gender;
  appearance.follow(outfit, state.job);
  showSlots();
  grid.setWorn(outfits.wornIds(outfit));
  const names = outfit.equipment.filter((item) => item?.name).map((item) => item.name);
  $('view').setAttribute('aria-label', t('view', names));
  $('open-desktop').href = desktopLink(outfit.code_url);
  writeAddress();
  if (outfit.refused.length) showMessage(t('refused', outfit.refused.join(', ')));
  return loadSheet(true, early);
}

function writeAddress() {
  const address = formatAddress({ code: state.outfit.code_url, anim: state.anim, job: state.job });
  if (location.hash !== address) history.replaceState(null, '', address);
  showDownloads();
}

// An address opened or edited while the page is open.
async function readAddress() {
  const { code, anim, job } = parseAddress(location.hash);
  if (anim && state.selectors.animations.includes(anim)) {
    state.anim = anim;
    $('animation').value = anim;
  }
  if (code && code === state.outfit?.code_url && job === state.job) return loadSheet(false);
  await change(() => (code ? outfits.loadOutfit(code) : outfits.defaultOutfit('male', job)), { job });
}

// ---- The slots ------------------------------------------------------------------

function slotName(slot) {
  return state.selectors.slots[slot - 1].name;
}

function showSlots() {
  const cells = SLOT_LAYOUT.map((slot) => {
    const cell = document.createElement('div');
    cell.className = slot ? 'slot-cell' : 'slot-gap';
    if (!slot) return cell;
    const worn = outfits.wornAt(state.outfit, slot);
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'slot';
    button.dataset.slot = slot;
    button.setAttribute('aria-pressed', String(slot === state.browse.slot));
    button.setAttribute('aria-label', worn ? t('slotWorn', slotName(slot), worn.name ?? worn.id) : t('slotEmpty', slotName(slot)));
    button.title = slotName(slot);
    if (worn?.icon) {
      const icon = document.createElement('img');
      icon.src = worn.icon;
      icon.width = icon.height = 32;
      icon.alt = '';
      // Faded where the item takes a slot besides its own.
      if (worn.slot !== slot) icon.className = 'sub';
      button.append(icon);
    } else {
      button.append(Object.assign(document.createElement('span'), { className: 'slot-name', textContent: slotName(slot) }));
    }
    cell.append(button);
    if (worn) {
      const off = document.createElement('button');
      off.type = 'button';
      off.className = 'take-off';
      off.dataset.item = worn.id;
      off.textContent = '×';
      off.setAttribute('aria-label', t('takeOff', worn.name ?? worn.id));
      off.title = t('takeOff', worn.name ?? worn.id);
      cell.append(off);
    }
    return cell;
  });
  $('slots').replaceChildren(...cells);
}

$('slots').addEventListener('click', (event) => {
  const off = event.target.closest('.take-off');
  if (off) {
    card.hide();
    const id = Number(off.dataset.item);
    change(() => outfits.takeOff(state.outfit, state.job, id));
    return;
  }
  const slot = event.target.closest('.slot');
  if (slot) chooseSlot(Number(slot.dataset.slot));
});

for (const [type, showing] of [['pointerover', true], ['focusin', true], ['pointerout', false], ['focusout', false]]) {
  $('slots').addEventListener(type, (event) => {
    const button = event.target.closest('.slot');
    const worn = button && outfits.wornAt(state.outfit, Number(button.dataset.slot));
    if (showing && worn) card.show(worn.id, button.getBoundingClientRect());
    else card.hide();
  });
}

// ---- The item browser -------------------------------------------------------------

function fillBrowserMenus() {
  const { slots, filters, weapon_kinds: weapons } = state.selectors;
  $('browse-slot').replaceChildren(...slots.map((entry) => new Option(entry.name, entry.slot)));
  $('category').replaceChildren(...filters.map((entry) => new Option(entry.name, entry.filter)));
  $('weapon').replaceChildren(...weapons.map((entry) => new Option(entry.name, entry.kind)));
  showBrowserMenus();
}

function showBrowserMenus() {
  $('browse-slot').value = state.browse.slot;
  $('category').value = state.browse.filter;
  $('weapon').value = state.browse.weapon;
  $('weapon-filter').hidden = state.browse.slot !== WEAPON_SLOT;
}

// Browsing another slot starts with every category and weapon kind, as the
// desktop program's browser does; the search text stays.
function chooseSlot(slot) {
  Object.assign(state.browse, { slot, filter: 'all', weapon: 0 });
  showBrowserMenus();
  for (const button of document.querySelectorAll('.slot'))
    button.setAttribute('aria-pressed', String(Number(button.dataset.slot) === slot));
  browse();
}

function browse() {
  const { slot, filter, weapon, jobOnly, q } = state.browse;
  card.hide();
  return grid.setQuery({
    gender: state.outfit.gender,
    slot,
    job: jobOnly ? state.job : null,
    filter: filter === 'all' ? null : filter,
    weapon: slot === WEAPON_SLOT && weapon ? weapon : null,
    q: q || null,
  }).catch(report);
}

$('browse-slot').addEventListener('change', () => chooseSlot(Number($('browse-slot').value)));
$('category').addEventListener('change', () => {
  state.browse.filter = $('category').value;
  browse();
});
$('weapon').addEventListener('change', () => {
  state.browse.weapon = Number($('weapon').value);
  browse();
});
$('job-only').addEventListener('change', () => {
  state.browse.jobOnly = $('job-only').checked;
  browse();
});
let searchTimer = 0;
$('search').addEventListener('input', () => {
  clearTimeout(searchTimer);
  searchTimer = setTimeout(() => {
    if (state.browse.q === $('search').value) return;
    state.browse.q = $('search').value;
    browse();
  }, 250);
});

// ---- The other controls -------------------------------------------------------------

for (const input of document.querySelectorAll('input[name="gender"]')) {
  input.addEventListener('change', () => {
    if (input.checked) change(() => outfits.withGender(state.outfit, state.job, input.value));
  });
}

$('random').addEventListener('click', () => {
  const [seed] = crypto.getRandomValues(new Uint32Array(1));
  change(() => outfits.randomOutfit(state.outfit.gender, state.job, seed));
});

$('animation').addEventListener('change', () => {
  state.anim = $('animation').value;
  writeAddress();
  loadSheet(false);
});
$('animate').addEventListener('change', () => {
  player.setPlaying($('animate').checked);
  showDownloads();
});
for (const [id, delta] of [['frame-back', -1], ['frame-next', 1]]) {
  $(id).addEventListener('click', () => {
    $('animate').checked = false;
    player.setPlaying(false);
    player.step(delta);
  });
}

$('scale').addEventListener('change', () => {
  state.scale = Number($('scale').value);
  try {
    localStorage.setItem(SCALE_KEY, String(state.scale));
  } catch {
    // kept for this visit only
  }
  showScale();
  showDownloads();
});
$('background').addEventListener('change', () => {
  state.background = $('background').value;
  loadSheet(true);
  showDownloads();
});
$('transparent').addEventListener('change', () => {
  state.transparent = $('transparent').checked;
  $('view').classList.toggle('see-through', state.transparent);
  loadSheet(true);
  showDownloads();
});

function announce(text) {
  $('share-status').textContent = text;
}
$('copy-link').addEventListener('click', async () => announce(t(await copyText(location.href) ? 'linkCopied' : 'copyFailed')));
$('copy-code').addEventListener('click', async () => announce(t(await copyText(state.outfit.code) ? 'codeCopied' : 'copyFailed')));

$('message-close').addEventListener('click', () => {
  $('message').hidden = true;
});
document.addEventListener('keydown', (event) => {
  if (event.key === 'Escape') card.hide();
});
// A card shown by a long press stays until the next touch.
document.addEventListener('pointerdown', (event) => {
  if (event.pointerType === 'touch') card.hide();
});

$('language').addEventListener('click', async () => {
  switchLanguage();
  showLanguage();
  try {
    await loadSelectors(state.outfit.gender);
    showOutfit(state.outfit);
  } catch (error) {
    report(error);
  }
});

function showLanguage() {
  applyTexts();
  const other = language() === 'ja' ? 'en' : 'ja';
  $('language').textContent = t('language');
  $('language').lang = other;
  if (state.outfit) $('item-count').textContent = t('itemCount', grid.total);
}

window.addEventListener('hashchange', () => readAddress().catch(report));

// ---- Start ------------------------------------------------------------------------

async function start() {
  showLanguage();
  let stored = null;
  try {
    stored = Number(localStorage.getItem(SCALE_KEY));
  } catch {
    // no storage: the default
  }
  state.scale = stored >= 1 && stored <= 4 ? stored : window.innerWidth >= 720 ? 2 : 1;
  $('scale').value = state.scale;
  showScale();

  const address = parseAddress(location.hash);
  state.job = address.job;
  state.anim = address.anim ?? state.anim;
  // The picture needs the code alone: it is asked for at once, beside the
  // outfit the code decodes to. A failure there shows when it is asked again.
  const requested = { code: address.code, anim: state.anim };
  const early = address.code ? fetchSheet(address.code).catch(() => null) : null;
  let outfit;
  if (address.code) {
    try {
      outfit = await outfits.loadOutfit(address.code);
    } catch (error) {
      if (!(error instanceof ApiError) || error.status !== 400) throw error;
      showMessage(t('badLink'));
    }
  } else if (location.hash.length > 1) {
    showMessage(t('badLink'));
  }
  outfit ??= await outfits.defaultOutfit('male', state.job);
  state.outfit = outfit;  // the selectors follow its gender
  await loadSelectors(outfit.gender);
  const same = outfit.code_url === requested.code && state.anim === requested.anim;
  // The grid's icons wait for the picture: both are drawn on the same threads.
  await showOutfit(outfit, same ? early : null);
  await browse();
}

start().catch(report);
