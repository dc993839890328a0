// Sharing what is shown: the download links of the render service's
// pictures for the outfit, animation and view chosen, and copying texts.

import { apiUrl, query } from './api.js';
import { urlSafeCode } from './address.js';

// The links of `view` ({code, anim, job, frame, background, transparent,
// scale}; background as "#rrggbb"): {element id: [address, file name]}.
function downloadLinks({ code, anim, job, frame, background, transparent, scale }) {
  const name = urlSafeCode(code);
  const common = { anim, job: job === 1 ? null : job, scale: scale === 1 ? null : scale };
  const shown = transparent ? { transparent: 1 } : { bg: background.slice(1) };
  const render = (format, options) => apiUrl(`/render/${name}.${format}${query({ ...common, ...options })}`);
  const sheet = (format) => apiUrl(`/sheet/${name}.${format}${query({ ...common, ...shown })}`);
  return {
    'download-png': [render('png', { frame, bg: background.slice(1) }), `varune-${anim}.png`],
    'download-transparent': [render('png', { frame, transparent: 1 }), `varune-${anim}-transparent.png`],
    // GIF has no partial transparency: always on the background colour.
    'download-gif': [render('gif', { bg: background.slice(1) }), `varune-${anim}.gif`],
    'download-webp': [render('webp', shown), `varune-${anim}.webp`],
    // The sheet's data names its picture by the code: the two files keep that name.
    'download-sheet': [sheet('png'), `${name}.png`],
    'download-sheet-data': [sheet('json'), `${name}.json`],
  };
}

export function showDownloadLinks(view) {
  for (const [id, [address, file]] of Object.entries(downloadLinks(view))) {
    const link = document.getElementById(id);
    link.href = address;
    link.download = file;
  }
}

// Copies `text`; false when the browser allows no way to.
export async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
    return true;
  } catch {
    // Pages served over plain HTTP to other hosts have no clipboard API.
    const field = document.createElement('textarea');
    field.value = text;
    field.setAttribute('readonly', '');
    field.className = 'offscreen';
    document.body.append(field);
    field.select();
    const copied = document.execCommand('copy');
    field.remove();
    return copied;
  }
}
