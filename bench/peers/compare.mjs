// Times the npm parsers a user might pick instead of ours on the same texts, in one run with our benchmark, and
// prints parses per second and the ratio ours/theirs per text. The packages go into a scratch folder outside the
// repository; nothing here is built or tested by CMake.
//
//   node bench/peers/compare.mjs [--bench=PATH] [--scratch=DIR] [--runs=N] [TEXT...]
//
// --bench   our benchmark program (default build/bench/bench/parse_benchmark, from `cmake --preset bench`)
// --scratch where the peers are installed (default: quorix-peers in the system's temporary folder)
// TEXT      files to parse (default: the AAMVA and magnetic stripe samples of bench/samples)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const options = { bench: path.join(repo, 'build/bench/bench/parse_benchmark'),
                  scratch: path.join(os.tmpdir(), 'quorix-peers'), runs: 7 };
const texts = [];
for (const argument of process.argv.slice(2)) {
  const flag = argument.match(/^--(bench|scratch|runs)=(.*)$/);
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
const packages = ['aamva-parser', 'parse-usdl', 'aamva'];
mkdirSync(options.scratch, { recursive: true });
if (!packages.every((name) => existsSync(path.join(options.scratch, 'node_modules', name)))) {
  execFileSync('npm', ['install', '--prefix', options.scratch, '--no-audit', '--no-fund', '--no-save', ...packages],
               { stdio: 'inherit' });
}
const load = createRequire(path.join(options.scratch, 'package.json'));
const versionOf = (name) => JSON.parse(readFileSync(path.join(options.scratch, 'node_modules', name, 'package.json'))).version;

// Each peer as its README shows it; a peer that throws or finds no name on a text does not take part for it.
const usdl = load('parse-usdl');
const aamvaParser = load('aamva-parser');
const aamva = load('aamva');
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

// Median parses per second over several timed batches, after a warm-up long enough for the JIT.
function time(peer, text) {
  return quietly(() => {
    let sink = 0;
    const batch = (count) => {
      const start = process.hrtime.bigint();
      for (let i = 0; i < count; ++i) sink += peer.parse(text) ? 1 : 0;
      return Number(process.hrtime.bigint() - start) / 1e9;
    };
    let count = 1000;
    while (batch(count) < 0.2) count *= 2;
    const rates = [];
    for (let run = 0; run < options.runs; ++run) rates.push(count / batch(count));
    rates.sort((a, b) => a - b);
    if (sink < 0) console.error(sink);
    return rates[Math.floor(rates.length / 2)];
  });
}

function ours() {
  const output = execFileSync(options.bench, [
    ...texts.map((file) => `--text=${file}`), '--benchmark_filter=^Text/',
    `--benchmark_repetitions=${options.runs}`, '--benchmark_report_aggregates_only=true',
    '--benchmark_format=json'], { encoding: 'utf8', maxBuffer: 1 << 24 });
  const rates = new Map();
  for (const run of JSON.parse(output).benchmarks)
    if (run.aggregate_name === 'median') rates.set(run.run_name.replace(/^Text\//, ''), run.items_per_second);
  return rates;
}

if (!existsSync(options.bench)) {
  console.error(`compare.mjs: no benchmark at ${options.bench}; build it with cmake --preset bench first`);
  process.exit(2);
}
const ourRates = ours();
console.log(`${os.cpus()[0].model}, ${os.cpus().length} cores, Node ${process.versions.node}, ` +
            `median of ${options.runs} runs, ${new Date().toISOString().slice(0, 10)}`);
console.log('text                          bytes  parser                  parses/s   ns/parse  ours/theirs');
const row = (cells) => console.log(cells[0].padEnd(28), String(cells[1]).padStart(6), ' ', cells[2].padEnd(22),
                                   cells[3].padStart(10), cells[4].padStart(10), cells[5].padStart(12));
for (const file of texts) {
  const name = path.basename(file);
  const text = readFileSync(file, 'latin1');
  const ourRate = ourRates.get(name);
  row([name, text.length, 'quorix_parser + 40', ourRate.toFixed(0), (1e9 / ourRate).toFixed(0), '']);
  for (const peer of peers) {
    const label = `${peer.name} ${versionOf(peer.package ?? peer.name)}`;
    if (!parsesText(peer, text)) {
      row(['', '', label, 'does not', 'parse it', '']);
      continue;
    }
    const rate = time(peer, text);
    row(['', '', label, rate.toFixed(0), (1e9 / rate).toFixed(0), (ourRate / rate).toFixed(2) + 'x']);
  }
}
