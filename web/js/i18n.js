// The page's texts in English and Japanese, and which of the two is shown:
// the reader's own choice when they made one, else the browser's language.
// Where the desktop program has a text, it is the same here.

const TEXTS = {
  en: {
    animate: 'Animate',
    previousFrame: 'Previous frame',
    nextFrame: 'Next frame',
    frame: (n, count) => `Frame ${n} / ${count}`,
    animation: 'Animation',
    zoom: 'Zoom',
    background: 'Background',
    transparent: 'Transparent',
    view: (names) => names.length ? `The character wearing ${names.join(', ')}` : 'The character',
    slots: 'Worn items',
    slotEmpty: (slot) => `${slot}: nothing worn`,
    slotWorn: (slot, item) => `${slot}: ${item}`,
    takeOff: (item) => `Take off ${item}`,
    gender: 'Gender',
    male: 'Male',
    female: 'Female',
    appearance: 'Appearance',
    job: 'Job',
    hair: 'Hair',
    hairColor: 'Hair colour',
    face: 'Face',
    eyeColor: 'Eye colour',
    body: 'Body',
    tops: 'Tops',
    bottoms: 'Bottoms',
    random: 'Random outfit',
    share: 'Share',
    copyLink: 'Copy link',
    copyCode: 'Copy outfit code',
    openDesktop: 'Open in Varune Wardrobe',
    download: 'Download:',
    transparentPng: 'Transparent PNG',
    sheet: 'Sprite sheet',
    sheetData: 'Sheet data (JSON)',
    linkCopied: 'The link is copied.',
    codeCopied: 'The outfit code is copied.',
    copyFailed: 'The browser did not allow copying; select the address and copy it.',
    items: 'Items',
    slot: 'Slot',
    category: 'Category',
    weaponKind: 'Weapon kind',
    jobOnly: "Only the job's items",
    search: 'Search:',
    itemCount: (n) => (n === 1 ? '1 item' : `${n} items`),
    itemsHelp: 'Click or press Enter to wear an item, again to take it off. Rest the pointer on an item (or press and hold) to read its card; Escape closes it.',
    close: 'Close',
    refused: (what) => `Could not be worn: ${what}`,
    busy: (seconds) => `The service is busy; trying again in ${seconds} s.`,
    unreachable: 'The service cannot be reached. Check the connection and reload the page.',
    badLink: 'The address holds no outfit that can be read; the default character is shown.',
    language: '日本語',
    languageName: 'Japanese',
  },
  ja: {
    animate: 'Animate',
    previousFrame: '前のコマ',
    nextFrame: '次のコマ',
    frame: (n, count) => `コマ ${n} / ${count}`,
    animation: 'モーション',
    zoom: 'ズーム',
    background: '背景',
    transparent: '透明',
    view: (names) => names.length ? `${names.join('、')} を着たキャラクター` : 'キャラクター',
    slots: '装備中のアイテム',
    slotEmpty: (slot) => `${slot}: なし`,
    slotWorn: (slot, item) => `${slot}: ${item}`,
    takeOff: (item) => `${item} を外す`,
    gender: '性別',
    male: '男',
    female: '女',
    appearance: '外見',
    job: '職業',
    hair: '髪型',
    hairColor: '髪の色',
    face: '顔',
    eyeColor: '瞳の色',
    body: '体',
    tops: 'トップス',
    bottoms: 'ボトムス',
    random: 'ランダムコーデ',
    share: '共有',
    copyLink: 'リンクをコピー',
    copyCode: 'コーデコードをコピー',
    openDesktop: 'Varune Wardrobe で開く',
    download: 'ダウンロード:',
    transparentPng: '透過PNG',
    sheet: 'スプライトシート',
    sheetData: 'シートのデータ (JSON)',
    linkCopied: 'リンクをコピーしました。',
    codeCopied: 'コーデコードをコピーしました。',
    copyFailed: 'ブラウザがコピーを許可しませんでした。アドレスを選んでコピーしてください。',
    items: 'アイテム',
    slot: '部位',
    category: '種類',
    weaponKind: '武器の種類',
    jobOnly: '職業の装備のみ',
    search: '検索:',
    itemCount: (n) => `${n} 件`,
    itemsHelp: 'クリックか Enter で装備、もう一度で外します。アイテムにポインタを置くか長押しすると説明が出ます (Escape で閉じます)。',
    close: '閉じる',
    refused: (what) => `装備できませんでした: ${what}`,
    busy: (seconds) => `サービスが混み合っています。${seconds} 秒後にもう一度試します。`,
    unreachable: 'サービスにつながりません。接続を確かめてページを読み込み直してください。',
    badLink: 'アドレスのコーデを読めませんでした。初期のキャラクターを表示します。',
    language: 'English',
    languageName: 'English',
  },
};

const STORAGE_KEY = 'varune-wardrobe.language';

// 'ja' or 'en': the stored choice, else the first of the browser's
// languages that is one of the two, else English.
export function chooseLanguage(stored, browserLanguages) {
  if (stored === 'ja' || stored === 'en') return stored;
  for (const language of browserLanguages) {
    const primary = language.toLowerCase().split('-')[0];
    if (primary === 'ja' || primary === 'en') return primary;
  }
  return 'en';
}

function storedLanguage() {
  try {
    return localStorage.getItem(STORAGE_KEY);
  } catch {
    return null;  // storage refused (private windows, policies)
  }
}

let current = chooseLanguage(storedLanguage(), navigator.languages?.length ? navigator.languages : [navigator.language || 'en']);

export function language() {
  return current;
}

// The text of `key` in the shown language; a function text takes `args`.
export function t(key, ...args) {
  const text = TEXTS[current][key];
  return typeof text === 'function' ? text(...args) : text;
}

// Writes the texts into the page: data-text into the element's text,
// data-label into its aria-label and title.
export function applyTexts(root = document) {
  document.documentElement.lang = current;
  for (const element of root.querySelectorAll('[data-text]')) element.textContent = t(element.dataset.text);
  for (const element of root.querySelectorAll('[data-label]')) {
    element.setAttribute('aria-label', t(element.dataset.label));
    element.title = t(element.dataset.label);
  }
}

// Switches to the other language and remembers the choice.
export function switchLanguage() {
  current = current === 'ja' ? 'en' : 'ja';
  try {
    localStorage.setItem(STORAGE_KEY, current);
  } catch {
    // the choice lasts for this visit only
  }
  return current;
}
