// The page's address holds what is shown, so that a link gives it again:
// "#CODE&anim=Move&job=3", CODE the outfit code in URL-safe Base64 without
// padding, the job left out while it is 1.

const DEFAULT_JOB = 1;
const CODE_PATTERN = /^[A-Za-z0-9+/_-]+=*$/;

// An outfit code as links carry it: URL-safe, no padding, no line breaks.
export function urlSafeCode(code) {
  return code.replace(/\s/g, '').replace(/=+$/, '').replace(/\+/g, '-').replace(/\//g, '_');
}

// {code, anim, job} of an address's fragment; code is null when there is
// none or it is no Base64 at all, anim null when not given, job 1 unless a
// valid one is given.
export function parseAddress(hash) {
  let text = hash.startsWith('#') ? hash.slice(1) : hash;
  try {
    text = decodeURIComponent(text);
  } catch {
    // a stray "%" stays as it is, and the code below is refused
  }
  const [code, ...rest] = text.split('&');
  const params = new URLSearchParams(rest.join('&'));
  const job = Number(params.get('job'));
  return {
    code: CODE_PATTERN.test(code) ? urlSafeCode(code) : null,
    anim: params.get('anim') || null,
    job: Number.isInteger(job) && job >= 1 && job <= 52 ? job : DEFAULT_JOB,
  };
}

export function formatAddress({ code, anim, job }) {
  let text = `#${urlSafeCode(code)}&anim=${encodeURIComponent(anim)}`;
  if (job !== DEFAULT_JOB) text += `&job=${job}`;
  return text;
}

// The link the desktop program opens.
export function desktopLink(code) {
  return `varune:outfit/${urlSafeCode(code)}`;
}
