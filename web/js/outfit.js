// What the character wears, as the service reads it from an outfit code,
// and every change a person makes to it. A change asks the service to
// dress a character anew (base parts, then items, in order) and answers
// the outfit that gives: {code, code_url, gender, base, equipment, refused}.

import { getJson, query } from './api.js';

const BASE_PARTS = ['hair', 'face', 'body', 'tops', 'bottoms'];

function dress(params) {
  return getJson(`/outfit${query(params)}`);
}

function baseIds(outfit, replaced = {}) {
  return BASE_PARTS.map((part) => (part in replaced ? replaced[part] : outfit.base?.[part]?.id)).filter((id) => id != null);
}

function equipIds(outfit) {
  return outfit.equipment.filter(Boolean).map((item) => item.id);
}

export function loadOutfit(code) {
  return getJson(`/outfit/${code}`);
}

// The character as the desktop program starts it, of that gender.
export function defaultOutfit(gender, job) {
  return dress({ gender, job });
}

// Puts the item on last, so that it wins over what shares its slots.
export function wear(outfit, job, id) {
  const equip = equipIds(outfit).filter((worn) => worn !== id);
  return dress({ gender: outfit.gender, job, base: baseIds(outfit), equip: [...equip, id] });
}

export function takeOff(outfit, job, id) {
  const equip = equipIds(outfit).filter((worn) => worn !== id);
  return dress({ gender: outfit.gender, job, base: baseIds(outfit), equip });
}

export function withBase(outfit, job, part, id) {
  return dress({ gender: outfit.gender, job, base: baseIds(outfit, { [part]: id }), equip: equipIds(outfit) });
}

// What the job cannot use comes off.
export function withJob(outfit, job) {
  return dress({ gender: outfit.gender, job, base: baseIds(outfit), equip: equipIds(outfit) });
}

// The new gender's default base parts; what it cannot wear comes off.
export function withGender(outfit, job, gender) {
  return dress({ gender, job, equip: equipIds(outfit) });
}

export function randomOutfit(gender, job, seed) {
  return dress({ gender, job, random: seed });
}

// The item worn in `slot` (its own slot or one it also takes), or undefined.
export function wornAt(outfit, slot) {
  return outfit.equipment.find((item) => item?.slots?.includes(slot));
}

export function wornIds(outfit) {
  return new Set(equipIds(outfit));
}
