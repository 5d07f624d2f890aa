// The Node.js package against the command-line tool's JSON over the golden corpus, its type mapping, its errors
// and parseMany. QUORIX_GOLDEN names the corpus and QUORIX_PARSE the tool; the ctest driver sets both.
'use strict';

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');

const quorix = require('quorix-parser');

const GOLDEN = process.env.QUORIX_GOLDEN ?? path.join(__dirname, '..', '..', 'testdata', 'golden');
const CASES = fs.readdirSync(GOLDEN).flatMap((family) =>
  fs.readdirSync(path.join(GOLDEN, family)).filter((name) => name.endsWith('.in')).sort()
    .map((name) => path.join(GOLDEN, family, name)));
const GOLDEN_NOW = new Date(2024, 5, 15, 12, 0, 0);
const DONOR_VETERAN = 'aamva/2014-v8-organ-donor-veteran.in';
const NOT_DONOR = 'aamva/2020-v10-ohio-letters-as-digits.in';
const UNDER_21_DATE = 'aamva/2014-under-age-dates-and-aliases.in';
const STRIPE_TWO_DIGIT_YEAR = 'magstripe/canadian-postal-code-fields-at-15.in';
const REJECTED = 'plain words no decoder takes';

const read = (name) => fs.readFileSync(path.join(GOLDEN, name));
const parser = new quorix.Parser({ now: GOLDEN_NOW });

function toolJson() {
  const tool = process.env.QUORIX_PARSE;
  if (!tool) return undefined;
  let output;
  try {
    output = execFileSync(tool, ['--now', '2024-06-15T12:00:00', '--extras', '--checks', ...CASES],
                          { encoding: 'latin1', maxBuffer: 1 << 26 });
  } catch (error) {
    if (error.status !== 1) throw error;  // 1: some input was rejected, as rejected/ cases are
    output = error.stdout;
  }
  return new Map(output.trim().split('\n').map((line) => JSON.parse(line)).map((line) => [line.file, line]));
}

test('the golden corpus gives the tool\'s JSON', (t) => {
  const tool = toolJson();
  if (tool === undefined) return t.skip('QUORIX_PARSE does not name the command-line tool');
  assert.ok(CASES.length > 50);
  for (const file of CASES) {
    const expected = tool.get(file);
    const result = parser.tryParse(fs.readFileSync(file));
    assert.equal(result.status, expected.status, file);
    if (result.status !== 0) {
      if (expected.status === -25) assert.equal(result.code, 'NO_DECODER', file);
      assert.deepEqual(Object.keys(result), ['status', 'code', 'message'], file);
      continue;
    }
    const { status, decoder, repairs, extras, ...fields } = result;
    assert.deepEqual(decoder, { group: expected.decoder.group, id: expected.decoder.id,
                                standard: expected.decoder.standard ?? null }, file);
    assert.deepEqual(repairs, expected.repairs ?? [], file);
    const want = Object.fromEntries(Object.entries(expected.fields).map(([name, value]) =>
      [name, name.startsWith('is') && typeof value === 'number' ? value === 1 : value]));
    assert.deepEqual(Object.keys(fields), Object.keys(want), `${file}: the same fields in the same order`);
    assert.deepEqual(fields, want, file);
    assert.deepEqual(extras, expected.extras ?? {}, file);
    const checks = expected.checks;
    const on = new Date(2024, 5, 15);
    assert.equal(parser.isExpired(result, on), checks.expired, file);
    assert.equal(parser.ageOn(result, on), checks.age, file);
    for (const years of [18, 19, 21]) assert.equal(parser.isAtLeast(result, years, on), checks[`atLeast${years}`]);
  }
});

test('indicators are booleans and every other field a string of printable ASCII', () => {
  const donor = parser.parse(read(DONOR_VETERAN));
  assert.equal(donor.isOrganDonor, true);
  assert.equal(donor.isVeteran, true);
  assert.equal(parser.parse(read(NOT_DONOR)).isOrganDonor, false);
  const stripe = parser.parse(read(STRIPE_TWO_DIGIT_YEAR));
  assert.ok(!('isOrganDonor' in stripe) && !('middleName' in stripe));
  assert.equal(stripe.decoder.group, 1);
  for (const name of quorix.FIELD_NAMES.filter((name) => name in donor && !name.startsWith('is'))) {
    assert.match(donor[name], /^[\x20-\x7e]*$/, name);
  }
  assert.equal(quorix.FIELD_NAMES.length, 40);
  assert.equal(new Set(quorix.FIELD_NAMES).size, 40);
});

test('a string carries the bytes as Latin-1, 0x80 to 0xFF included', () => {
  const text = read(DONOR_VETERAN);
  assert.deepEqual(parser.parse(text.toString('latin1')), parser.parse(text));
  assert.deepEqual(parser.parse(new Uint8Array(text)), parser.parse(text));
  const high = Buffer.from(text);
  for (let at = 40; at < high.length; at += 7) high[at] = 0x80 + (at % 128);
  // Each character of the string is one byte, so the string and the buffer are the same input.
  assert.deepEqual(parser.tryParse(high.toString('latin1')), parser.tryParse(high));
  const highResult = parser.tryParse(high);
  for (const [name, value] of Object.entries(highResult)) {
    if (typeof value === 'string') assert.match(value, /^[\x20-\x7e]*$/, name);
  }
  const allHigh = Buffer.from(Array.from({ length: 128 }, (_, i) => 0x80 + i));
  assert.equal(parser.tryParse(allHigh.toString('latin1')).status, -25);
  assert.throws(() => parser.parse('@\nANSI \u20ac'), TypeError);
  assert.throws(() => parser.parse('\u0100'), TypeError);
  assert.throws(() => parser.parse(12345), TypeError);
  assert.throws(() => parser.parse(new Uint16Array(4)), TypeError);
});

test('errors carry the status, a code and the library\'s message', () => {
  const cases = [
    { input: REJECTED, status: -25, code: 'NO_DECODER', message: 'no decoder accepted the input' },
    { input: '', status: -17, code: 'EMPTY_INPUT', message: 'the input is empty' },
    { input: Buffer.alloc(0), status: -17, code: 'EMPTY_INPUT', message: 'the input is empty' },
  ];
  for (const { input, status, code, message } of cases) {
    assert.throws(() => parser.parse(input), (error) => {
      assert.ok(error instanceof quorix.ParseError && error instanceof Error);
      assert.equal(error.status, status);
      assert.equal(error.code, code);
      assert.equal(error.message, `${message} (status ${status})`);
      return true;
    });
    assert.deepEqual(parser.tryParse(input), { status, code, message });
    assert.throws(() => quorix.parse(input), { status, code });
  }
});

test('checks use the card\'s own under-21 date and the clock of the parse', () => {
  const result = parser.parse(read(UNDER_21_DATE));
  assert.equal(result.extras.under21Until, '03/05/2025');
  assert.ok(!('aliasFullName' in result.extras));
  const birthday = new Date(2025, 2, 4);
  assert.equal(parser.ageOn(result, birthday), 21);
  assert.equal(parser.ageOn(result, new Date(2004, 2, 3)), undefined);
  assert.equal(parser.isAtLeast(result, 21, birthday), false);
  assert.equal(parser.isAtLeast(result, 21, new Date(2025, 2, 5)), true);
  assert.equal(parser.isExpired(result, new Date(2031, 2, 4)), false);
  assert.equal(parser.isExpired(result, new Date(2031, 2, 5)), true);
  assert.equal(typeof parser.ageOn(result), 'number');  // today
  assert.throws(() => parser.isExpired({ ...result }, birthday), TypeError);  // a copy is not a parse's result
  assert.throws(() => parser.isExpired(result, 'tomorrow'), TypeError);

  const stripe = read(STRIPE_TWO_DIGIT_YEAR);
  const expiry = parser.parse(stripe).expirationDate;
  const later = new quorix.Parser({ now: new Date(2124, 5, 15, 12) }).parse(stripe).expirationDate;
  assert.equal(Number(later.slice(6)), Number(expiry.slice(6)) + 100);
  assert.throws(() => new quorix.Parser({ now: new Date(NaN) }), TypeError);
});

test('a result outlives the parser\'s next parse', () => {
  const first = parser.parse(read(DONOR_VETERAN));
  const copy = structuredClone(first);
  parser.tryParse(REJECTED);
  parser.parse(read(STRIPE_TWO_DIGIT_YEAR));
  assert.deepEqual(first, copy);
  assert.equal(JSON.stringify(first), JSON.stringify(copy));
});

test('parseMany keeps input order on any number of threads', async () => {
  const texts = [];
  for (let round = 0; round < 5; ++round) for (const file of CASES) texts.push(fs.readFileSync(file));
  texts.push(REJECTED, read(DONOR_VETERAN).toString('latin1'));
  const expected = texts.map((text) => parser.tryParse(text));
  for (const threads of [1, 3, 8]) {
    const pending = quorix.parseMany(texts, { threads, now: GOLDEN_NOW });
    assert.ok(pending instanceof Promise);
    assert.deepEqual(await pending, expected, `threads ${threads}`);
  }
  const results = await quorix.parseMany(texts.slice(0, 3), { now: GOLDEN_NOW });
  assert.equal(parser.isExpired(results[0], new Date(2024, 5, 15)), parser.isExpired(expected[0], new Date(2024, 5, 15)));
  assert.deepEqual(await quorix.parseMany([], { threads: 4 }), []);
  assert.deepEqual(await quorix.parseMany(new Set([REJECTED])), [parser.tryParse(REJECTED)]);
  await assert.rejects(quorix.parseMany(texts, { threads: 0 }), RangeError);
  await assert.rejects(quorix.parseMany([REJECTED, 7]), TypeError);
});

test('parseMany leaves the event loop free while it parses', async () => {
  const texts = Array.from({ length: 20000 }, (_, i) => read(i % 2 ? DONOR_VETERAN : UNDER_21_DATE));
  let ticks = 0;
  const timer = setInterval(() => ++ticks, 1);
  const started = process.hrtime.bigint();
  await quorix.parseMany(texts, { threads: 2 });
  clearInterval(timer);
  const elapsed = Number(process.hrtime.bigint() - started) / 1e6;
  // The results are made into objects on the loop at the end, so only part of the time can tick.
  assert.ok(ticks > 0, `no timer ran in ${elapsed.toFixed(0)} ms`);
});

test('versions and names', () => {
  const packageJson = JSON.parse(fs.readFileSync(require.resolve('quorix-parser/package.json')));
  assert.equal(quorix.LIBRARY_VERSION, `v.${packageJson.version}`);
  assert.ok(quorix.REPAIR_NAMES.includes('separators restored'));
  assert.equal(quorix.statusMessage(-25), 'no decoder accepted the input');
});

test('the ESM entry point gives the same functions', async () => {
  const esm = await import('quorix-parser');
  assert.equal(esm.parse, quorix.parse);
  assert.equal(esm.Parser, quorix.Parser);
  assert.equal(esm.default.parseMany, quorix.parseMany);
});
