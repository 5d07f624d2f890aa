// The Node.js package: the library's parse over its C interface (the addon), results as plain objects under the
// README's field names, errors with the library's status. The checks ask the library; no rule lives here.
'use strict';

const native = require('./build/Release/quorix_addon.node');

const FIELD_NAMES = Object.freeze([...native.fieldNames]);
const EXTRA_NAMES = Object.freeze([...native.extraNames]);
const REPAIR_NAMES = Object.freeze([...native.repairNames]);
const LIBRARY_VERSION = native.version;
const INDICATORS = new Set(['isLimitedDurationDocument', 'isOrganDonor', 'isVeteran']);

// One code per status the library names; a decoder family's own failure codes are DECODER_FAILED.
const CODES = Object.freeze({
  [-11]: 'NO_INPUT',
  [-16]: 'NO_SLOT',
  [-17]: 'EMPTY_INPUT',
  [-18]: 'OUTPUT_TOO_SMALL',
  [-21]: 'BAD_ARGUMENT',
  [-24]: 'NO_ARENA',
  [-25]: 'NO_DECODER',
  [-26]: 'NO_VALUE',
  [-27]: 'HOST_ERROR',
  [-28]: 'NO_BARCODE',
  [-29]: 'INPUT_TOO_LARGE',
});

function statusCode(status) {
  return CODES[status] ?? 'DECODER_FAILED';
}

function statusMessage(status) {
  return native.statusMessage(status);
}

// A text the parser did not turn into a result.
class ParseError extends Error {
  constructor(status) {
    const message = native.statusMessage(status);
    super(`${message} (status ${status})`);
    this.name = 'ParseError';
    this.status = status;
    this.code = statusCode(status);
  }
}

// What each result was parsed from, for the checks, which parse it again: a property no enumeration, copy, JSON or
// comparison sees, so results stay plain objects (and cheaper to make than an entry in a WeakMap).
const ORIGIN = Symbol('quorix-parser origin');
const originProperty = { value: undefined, enumerable: false, writable: false, configurable: false };

function repairList(bits) {
  if (bits === 0) return [];
  const repairs = [];
  for (let i = 0; i < REPAIR_NAMES.length; ++i) if (bits & (1 << i)) repairs.push(REPAIR_NAMES[i]);
  return repairs;
}

// The addon gives a parse's status, or its result as one string of NUL-ended parts: decoder group, decoder id,
// repair bits, two presence masks, the standard, then the present values (see quorix_addon.cpp). The function that
// reads them has the names written out, so every result is built the same way with the same shape; a loop storing
// under a variable name, or a split into an array first, is markedly slower.
function reader() {
  const part = (target) => `end = encoded.indexOf('\\0', at); ${target} = encoded.slice(at, end); at = end + 1;`;
  const lines = ['let at = 0, end = 0, group, id, repairs, low, high, standard;'];
  for (const name of ['group', 'id', 'repairs', 'low', 'high', 'standard']) lines.push(part(name));
  lines.push('const result = withStatus ? { status: 0 } : {};');
  lines.push("result.decoder = { group: +group, id: +id, standard: standard === '' ? null : standard };");
  lines.push('const extras = {};');
  const assign = (name, bit, target, indicator) => {
    if (!/^[A-Za-z][A-Za-z0-9]*$/.test(name)) throw new Error(`the library names a value ${JSON.stringify(name)}`);
    const value = indicator ? "encoded.slice(at, end) === '1'" : 'encoded.slice(at, end)';
    lines.push(`if (${bit < 32 ? 'low' : 'high'} & ${2 ** (bit % 32)}) ` +
               `{ end = encoded.indexOf('\\0', at); ${target}.${name} = ${value}; at = end + 1; }`);
  };
  lines.push('low = +low; high = +high;');
  FIELD_NAMES.forEach((name, i) => assign(name, i, 'result', INDICATORS.has(name)));
  EXTRA_NAMES.forEach((name, i) => assign(name, FIELD_NAMES.length + i, 'extras', false));
  lines.push('result.repairs = repairList(+repairs);', 'result.extras = extras;', 'return result;');
  return new Function('repairList', 'encoded', 'withStatus', lines.join('\n')).bind(null, repairList);
}
const readResult = reader();

function toResult(encoded, withStatus, input, clock) {
  if (typeof encoded === 'number') {
    return { status: encoded, code: statusCode(encoded), message: native.statusMessage(encoded) };
  }
  const result = readResult(encoded, withStatus);
  // A buffer is copied: the caller may fill it with the next scan.
  originProperty.value = { input: typeof input === 'string' ? input : Buffer.from(input), clock };
  Object.defineProperty(result, ORIGIN, originProperty);
  originProperty.value = undefined;
  return result;
}

function clockOf(now) {
  if (now === undefined || now === null) return undefined;
  if (!(now instanceof Date) || Number.isNaN(now.getTime())) throw new TypeError('now is a valid Date');
  return [now.getFullYear(), now.getMonth() + 1, now.getDate(), now.getHours(), now.getMinutes(), now.getSeconds()];
}

function dayOf(on) {
  if (on === undefined) on = new Date();
  if (!(on instanceof Date) || Number.isNaN(on.getTime())) throw new TypeError('the day is a valid Date');
  return [on.getFullYear(), on.getMonth() + 1, on.getDate(), 0, 0, 0];
}

function answers(result, on, years) {
  const origin = result?.[ORIGIN];
  if (origin === undefined) throw new TypeError('the result was not made by this package');
  const answer = native.answerChecks(origin.input, origin.clock, dayOf(on), years);
  if (typeof answer === 'number') throw new ParseError(answer);
  return answer;
}

// A parser with its own native handle and, when given, a fixed clock ({ now: Date }: the parse runs at that local
// date and time, so a stripe's two-digit years and the derived dates are reproducible).
class Parser {
  #native;
  #clock;

  constructor(options = {}) {
    this.#clock = clockOf(options.now);
    this.#native = new native.NativeParser(this.#clock);
  }

  // The result of input (a Buffer, or a string whose characters U+0000 to U+00FF are the bytes); a rejected text
  // throws a ParseError with its status and code.
  parse(input) {
    const encoded = this.#native.parse(input);
    if (typeof encoded === 'number') throw new ParseError(encoded);
    return toResult(encoded, false, input, this.#clock);
  }

  // The same with the status first; a rejected text gives { status, code, message } and throws nothing.
  tryParse(input) {
    return toResult(this.#native.parse(input), true, input, this.#clock);
  }

  // Whether the card has expired on that day (today when omitted); it is valid through its expiry day. False when
  // the document has no readable expiry date.
  isExpired(result, on) {
    return answers(result, on, 0)[0];
  }

  // The holder's full years on that day (today when omitted); undefined without a readable birth date or for a
  // day before it.
  ageOn(result, on) {
    return answers(result, on, 0)[1];
  }

  // Whether the holder is at least years old on that day (today when omitted); for 18, 19 and 21 the card's own
  // "under ... until" date answers where it prints one. False when not known.
  isAtLeast(result, years, on) {
    if (!Number.isInteger(years)) throw new TypeError('years is an integer');
    return answers(result, on, years)[2];
  }
}

let shared;
function sharedParser() {
  shared ??= new Parser();
  return shared;
}

function parse(input) {
  return sharedParser().parse(input);
}

function tryParse(input) {
  return sharedParser().tryParse(input);
}

// Parses every input on up to threads threads of the addon's own, one native parser each, off the event loop, and
// resolves to their results in input order, each as tryParse gives it.
async function parseMany(inputs, options = {}) {
  const { threads = 1, now } = options;
  if (!Number.isInteger(threads) || threads < 1) throw new RangeError('threads must be an integer, 1 or more');
  const list = Array.from(inputs);
  const clock = clockOf(now);
  const encoded = await native.parseMany(list, threads, clock);
  return encoded.map((item, i) => toResult(item, true, list[i], clock));
}

module.exports = {
  Parser,
  ParseError,
  parse,
  tryParse,
  parseMany,
  statusMessage,
  FIELD_NAMES,
  EXTRA_NAMES,
  REPAIR_NAMES,
  LIBRARY_VERSION,
};
