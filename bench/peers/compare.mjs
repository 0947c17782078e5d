// Measures the benchmark curves with the length functions of bezier-js and paper.js, computes a
// high-precision reference length for each (adaptive Gauss-Legendre), and reports our time per
// segment (from the Google Benchmark JSON) as a ratio to theirs, with each one's length error.
//
//   node compare.mjs CURVES.json KELVANE_BENCH.json
import { readFileSync } from 'node:fs';
import { performance } from 'node:perf_hooks';
import { Bezier } from 'bezier-js';
import paper from 'paper';

const [curvesPath, benchPath] = process.argv.slice(2);
if (!curvesPath || !benchPath) {
  console.error('usage: node compare.mjs CURVES.json KELVANE_BENCH.json');
  process.exit(2);
}
const { curves, ours } = JSON.parse(readFileSync(curvesPath, 'utf8'));
const bench = JSON.parse(readFileSync(benchPath, 'utf8'));

// ---- Reference: |B'(t)| integrated with 8-point Gauss-Legendre, split until the halves agree ----
const GL_X = [-0.9602898564975363, -0.7966664774136267, -0.5255324099163290, -0.1834346424956498,
  0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363];
const GL_W = [0.1012285362903763, 0.2223810344533745, 0.3137066458778873, 0.3626837833783620,
  0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763];

function speed(c, t) {
  const u = 1 - t;
  const dx = 3 * (u * u * (c[2] - c[0]) + 2 * u * t * (c[4] - c[2]) + t * t * (c[6] - c[4]));
  const dy = 3 * (u * u * (c[3] - c[1]) + 2 * u * t * (c[5] - c[3]) + t * t * (c[7] - c[5]));
  return Math.hypot(dx, dy);
}
function gauss(c, a, b) {
  const half = (b - a) / 2, mid = (a + b) / 2;
  let sum = 0;
  for (let i = 0; i < 8; i++) sum += GL_W[i] * speed(c, mid + half * GL_X[i]);
  return sum * half;
}
function adaptive(c, a, b, whole, depth) {
  const m = (a + b) / 2;
  const left = gauss(c, a, m), right = gauss(c, m, b);
  if (depth > 40 || Math.abs(left + right - whole) <= 1e-14 * Math.max(1, Math.abs(whole))) return left + right;
  return adaptive(c, a, m, left, depth + 1) + adaptive(c, m, b, right, depth + 1);
}
const reference = curves.map((c) => adaptive(c, 0, 1, gauss(c, 0, 1), 0));

// ---- Peers, timed over the whole set; best of several passes ----
paper.setup(new paper.Size(1, 1));
function timePeer(prepare, measure, passes = 5) {
  let best = Infinity, lengths = null;
  for (let pass = 0; pass < passes; pass++) {
    const objects = prepare();  // made outside the timing; paper.js caches lengths on its curves
    const start = performance.now();
    const result = objects.map(measure);
    best = Math.min(best, performance.now() - start);
    lengths = result;
  }
  return { nsPerSegment: (best * 1e6) / curves.length, lengths };
}
const peers = {
  'bezier-js': timePeer(() => curves.map((c) => new Bezier(...c)), (b) => b.length()),
  'paper.js': timePeer(
    () => curves.map((c) => new paper.Curve(
      new paper.Segment(new paper.Point(c[0], c[1]), null, new paper.Point(c[2] - c[0], c[3] - c[1])),
      new paper.Segment(new paper.Point(c[6], c[7]), new paper.Point(c[4] - c[6], c[5] - c[7]), null))),
    (curve) => curve.length),
};

function errors(lengths) {
  let max = 0, sum = 0;
  lengths.forEach((length, i) => {
    const relative = Math.abs(length - reference[i]) / reference[i];
    max = Math.max(max, relative);
    sum += relative;
  });
  return { max, mean: sum / lengths.length };
}
function perSegment(name) {
  const run = bench.benchmarks.find((b) => b.name.startsWith(name) && b.run_type !== 'aggregate');
  return run ? run.per_segment * 1e9 : NaN;
}

const oursNs = perSegment('BM_SegmentLength');
const fastest = Math.min(...Object.values(peers).map((p) => p.nsPerSegment));
const rows = [['Kelvane SegmentLength', oursNs, errors(ours)],
  ...Object.entries(peers).map(([name, p]) => [name, p.nsPerSegment, errors(p.lengths)])];
console.log(`${curves.length} random cubic segments; reference: adaptive 8-point Gauss-Legendre (1e-14)`);
console.log('measure                  ns/segment   ours/theirs   max rel. error   mean rel. error');
for (const [name, ns, err] of rows) {
  const ratio = name.startsWith('Kelvane') ? '' : (oursNs / ns).toFixed(2);
  console.log(`${name.padEnd(24)} ${ns.toFixed(1).padStart(10)}   ${ratio.padStart(11)}   ${err.max.toExponential(2).padStart(14)}   ${err.mean.toExponential(2).padStart(15)}`);
}
console.log(`goal, at least as fast as the fastest peer: ${oursNs <= fastest ? 'met' : 'NOT met'} (${(oursNs / fastest).toFixed(2)} x the fastest)`);

const readout = perSegment('BM_MeasureSelection');
if (!Number.isNaN(readout)) {
  const frameMs = (readout * 20000) / 1e6;
  console.log(`live readout of 20,000 selected curves: ${frameMs.toFixed(2)} ms (one 60 Hz frame is 16.67 ms): ${frameMs <= 1000 / 60 ? 'met' : 'NOT met'}`);
}
