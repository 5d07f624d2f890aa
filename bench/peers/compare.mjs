// Times our Node.js package against the npm parsers a user might pick instead, in this one process on the same
// texts, and prints parses per CPU second and the ratio ours/theirs per text. Every contestant is timed the same
// way, by the process's CPU time (process.cpuUsage: user and system, every thread of the process) over a batch,
// in rounds that alternate the order of the contestants; the ratio is taken within each round and its median and
// range are printed, so a machine shared with other work slows both sides of a ratio alike. The native library's
// own benchmark runs beside as a reference, when it is built. The peers go into a scratch folder outside the
// repository; nothing here is built or tested by CMake.
//
//   node bench/peers/compare.mjs [--package=DIR] [--bench=PATH] [--scratch=DIR] [--runs=N] [TEXT...]
//
// --package our Node.js package (default node/ of this checkout, built by `npm install ./node`)
// --bench   our C++ benchmark program (default build/bench/bench/parse_benchmark, from `cmake --preset bench`)
// --scratch where the peers are installed (default: quorix-peers in the system's temporary folder)
// --runs    rounds (default 7)
// TEXT      files to parse (default: the AAMVA and magnetic stripe samples of bench/samples)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const options = { package: path.join(repo, 'node'), bench: path.join(repo, 'build/bench/bench/parse_benchmark'),
                  scratch: path.join(os.tmpdir(), 'quorix-peers'), runs: 7 };
const texts = [];
for (const argument of process.argv.slice(2)) {
  const flag = argument.match(/^--(package|bench|scratch|runs)=(.*)$/);
  if (flag) options[flag[1]] = flag[1] === 'runs' ? Number(flag[2]) : path.resolve(flag[2]);
  else texts.push(path.resolve(argument));
}
if (texts.length === 0) {
  for (const name of ['aamva-2016-typical.txt', 'magstripe-three-tracks.txt'])
    texts.push(path.join(repo, 'bench/samples', name));
}

// The peers must never land in the repository.
const relative = path.relative(repo, options.scratch);
if (!relative.startsWith('..') && !path.isAbsolute(relative)) {
  console.error(`compare.mjs: the scratch folder ${options.scratch} lies inside the repository`);
  process.exit(2);
}
// The versions measured in the README, so that a later run times the same code.
const packages = { 'aamva-parser': '1.7.0', 'parse-usdl': '3.2.0', aamva: '2.0.0' };
const installed = (name) => existsSync(path.join(options.scratch, 'node_modules', name, 'package.json')) &&
  JSON.parse(readFileSync(path.join(options.scratch, 'node_modules', name, 'package.json'))).version === packages[name];
mkdirSync(options.scratch, { recursive: true });
if (!Object.keys(packages).every(installed)) {
  execFileSync('npm', ['install', '--prefix', options.scratch, '--no-audit', '--no-fund', '--no-save',
                       ...Object.entries(packages).map(([name, version]) => `${name}@${version}`)],
               { stdio: 'inherit' });
}
const load = createRequire(path.join(options.scratch, 'package.json'));
const versionOf = (name) => JSON.parse(readFileSync(path.join(options.scratch, 'node_modules', name, 'package.json'))).version;

// Each peer as its README shows it; a peer that throws or finds no name on a text does not take part for it.
const usdl = load('parse-usdl');
const aamvaParser = load('aamva-parser');
const aamva = load('aamva');
let quorix;
try {
  quorix = createRequire(import.meta.url)(options.package);
} catch (error) {
  console.error(`compare.mjs: cannot load our package from ${options.package} (${error.message}); ` +
                'build it with npm install ./node first');
  process.exit(2);
}
const ourParser = new quorix.Parser();
const ours = { name: 'quorix-parser', parse: (text) => ourParser.parse(text), lastName: (r) => r.lastName };
const peers = [
  { name: 'aamva-parser', parse: (text) => aamvaParser.parse(text), lastName: (r) => r.lastName },
  { name: 'parse-usdl', parse: (text) => usdl.parse(text, { suppressErrors: true }), lastName: (r) => r.lastName },
  { name: 'aamva (pdf417)', package: 'aamva', parse: (text) => aamva.pdf417(text), lastName: (r) => r.name?.last },
  { name: 'aamva (stripe)', package: 'aamva', parse: (text) => aamva.stripe(text), lastName: (r) => r.name?.last },
];

function quietly(work) {
  const log = console.log;
  console.log = () => {};  // one peer prints its own complaints
  try { return work(); } finally { console.log = log; }
}

function parsesText(peer, text) {
  try {
    const result = quietly(() => peer.parse(text));
    return result != null && typeof peer.lastName(result) === 'string' && peer.lastName(result).trim() !== '';
  } catch {
    return false;
  }
}

// Parses per CPU second of one batch.
function rate(peer, text, count) {
  let sink = 0;
  const start = process.cpuUsage();
  for (let i = 0; i < count; ++i) sink += peer.parse(text) ? 1 : 0;
  const used = process.cpuUsage(start);
  if (sink < 0) console.error(sink);
  return count / ((used.user + used.system) / 1e6);
}

// A batch size that takes about 0.2 s, found while warming the JIT up.
function batchSize(peer, text) {
  let count = 1000;
  for (;;) {
    const start = process.hrtime.bigint();
    for (let i = 0; i < count; ++i) peer.parse(text);
    if (Number(process.hrtime.bigint() - start) / 1e9 >= 0.2) return count;
    count *= 2;
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Every contestant that parses the text, timed in options.runs rounds, in forward order in even rounds and
// backward in odd ones. Returns the contestants with their rates, ours first.
function compete(text) {
  return quietly(() => {
    const contestants = [ours, ...peers].filter((peer) => parsesText(peer, text))
      .map((peer) => ({ peer, count: batchSize(peer, text), rates: [] }));
    for (let round = 0; round < options.runs; ++round) {
      const order = round % 2 === 0 ? contestants : [...contestants].reverse();
      for (const contestant of order) contestant.rates.push(rate(contestant.peer, text, contestant.count));
    }
    return contestants;
  });
}

function native() {
  if (!existsSync(options.bench)) return new Map();
  const output = execFileSync(options.bench, [
    ...texts.map((file) => `--text=${file}`), '--benchmark_filter=^Text/',
    `--benchmark_repetitions=${options.runs}`, '--benchmark_report_aggregates_only=true',
    '--benchmark_format=json'], { encoding: 'utf8', maxBuffer: 1 << 24 });
  const rates = new Map();
  for (const run of JSON.parse(output).benchmarks)
    if (run.aggregate_name === 'median') rates.set(run.run_name.replace(/^Text\//, ''), run.items_per_second);
  return rates;
}

const nativeRates = native();
console.log(`${os.cpus()[0].model}, ${os.cpus().length} cores, Node ${process.versions.node}, ` +
            `${options.runs} alternating rounds, CPU time, load average ${os.loadavg()[0].toFixed(1)} at the start, ` +
            `${new Date().toISOString().slice(0, 16)}Z`);
console.log('text                          bytes  parser                  parses/s   ns/parse  ours/theirs (range)');
const row = (cells) => console.log(cells[0].padEnd(28), String(cells[1]).padStart(6), ' ', cells[2].padEnd(22),
                                   cells[3].padStart(10), cells[4].padStart(10), ' ', cells[5]);
for (const file of texts) {
  const name = path.basename(file);
  const text = readFileSync(file, 'latin1');
  const contestants = compete(text);
  const us = contestants.find((contestant) => contestant.peer === ours);
  const nativeRate = nativeRates.get(name);
  if (nativeRate !== undefined)
    row([name, text.length, 'C++, parse + 40', nativeRate.toFixed(0), (1e9 / nativeRate).toFixed(0), '(its own process)']);
  for (const contestant of contestants) {
    const { peer, rates } = contestant;
    const version = peer === ours ? quorix.LIBRARY_VERSION.slice(2) : versionOf(peer.package ?? peer.name);
    const rateText = median(rates).toFixed(0), nsText = (1e9 / median(rates)).toFixed(0);
    if (peer === ours) {
      row([nativeRate === undefined ? name : '', text.length, `${peer.name} ${version}`, rateText, nsText, '']);
      continue;
    }
    const ratios = us === undefined ? [] : rates.map((theirs, round) => us.rates[round] / theirs);
    const ratio = ratios.length === 0 ? '' : `${median(ratios).toFixed(2)}x (${Math.min(...ratios).toFixed(2)} to ` +
                                             `${Math.max(...ratios).toFixed(2)})`;
    row(['', '', `${peer.name} ${version}`, rateText, nsText, ratio]);
  }
  for (const peer of [ours, ...peers].filter((peer) => !contestants.some((c) => c.peer === peer)))
    row(['', '', `${peer.name}`, 'does not', 'parse it', '']);
}
console.log(`load average ${os.loadavg()[0].toFixed(1)} at the end`);
