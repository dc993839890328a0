// Calls to the render service's API. Its errors become ApiErrors carrying
// its own message; a busy service (503) is asked again after the time its
// Retry-After gives, for as long as it stays busy and the caller still
// wants the answer.

export class ApiError extends Error {
  constructor(status, code, message) {
    super(message);
    this.status = status;
    this.code = code;
  }
}

const API = '/api/v1';
// A Retry-After past this is taken as this: the page keeps trying.
const MAX_WAIT_SECONDS = 60;

let busyListener = () => {};

// `listener(seconds)` is told before each wait for a busy service, and
// `listener(null)` once an answer came.
export function onBusy(listener) {
  busyListener = listener;
}

// Seconds to wait from a Retry-After value: delay-seconds or an HTTP date.
export function retryDelaySeconds(value, now = Date.now()) {
  let seconds = Number.parseInt(value ?? '', 10);
  if (Number.isNaN(seconds)) {
    const date = Date.parse(value ?? '');
    seconds = Number.isNaN(date) ? 1 : Math.ceil((date - now) / 1000);
  }
  return Math.min(Math.max(seconds, 1), MAX_WAIT_SECONDS);
}

function wait(seconds, signal) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(resolve, seconds * 1000);
    signal?.addEventListener('abort', () => {
      clearTimeout(timer);
      reject(signal.reason);
    }, { once: true });
  });
}

async function request(path, signal) {
  for (;;) {
    let response;
    try {
      response = await fetch(path, { signal });
    } catch (error) {
      if (signal?.aborted) throw error;
      throw new ApiError(0, 'unreachable', '');
    }
    if (response.status === 503) {
      const seconds = retryDelaySeconds(response.headers.get('Retry-After'));
      busyListener(seconds);
      await wait(seconds, signal);
      continue;
    }
    busyListener(null);
    if (response.ok) return response;
    let code = 'http', message = `HTTP ${response.status}`;
    try {
      const body = await response.json();
      code = body.error ?? code;
      message = body.message ?? message;
    } catch {
      // not the API's JSON (a proxy's page): the status says it
    }
    throw new ApiError(response.status, code, message);
  }
}

// "?a=1&b=2" of the parameters that have a value; lists are comma-separated.
export function query(params) {
  const search = new URLSearchParams();
  for (const [name, value] of Object.entries(params)) {
    if (value === undefined || value === null || value === '' || (Array.isArray(value) && !value.length)) continue;
    search.set(name, Array.isArray(value) ? value.join(',') : String(value));
  }
  const text = search.toString();
  return text ? `?${text}` : '';
}

export async function getJson(path, signal) {
  return (await request(API + path, signal)).json();
}

export async function getBlob(path, signal) {
  return (await request(API + path, signal)).blob();
}

// The address of an API path, for links and downloads.
export function apiUrl(path) {
  return API + path;
}
