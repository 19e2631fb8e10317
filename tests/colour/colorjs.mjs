// The colours colorjs.io's CSS gamut mapping gives for OKLCH places in the bars' steps:
//     node colorjs.mjs COUNT SEED > PLACES
// writes COUNT places, "lightness chroma hue" in steps (tenths of a percent, thousandths, tenths of a
// degree), each followed by the sRGB channels colorjs.io maps it to, unrounded. Run with NODE_PATH at the
// colorjs.io installed.
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.join(process.env.NODE_PATH, 'noop.js'));
const loaded = await import(require.resolve('colorjs.io'));
// The package's CommonJS build, which the resolver finds, holds the class as its default export.
const Color = loaded.default.default ?? loaded.default;
const [count, seed] = process.argv.slice(2).map(Number);

// A small seeded generator (mulberry32), so that a failing run can be repeated.
let state = seed >>> 0;
function random() {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const below = n => Math.floor(random() * n);

const places = [];
// The edges: black, white, the hue's seam at 0 and 360 degrees (3600 steps is 360) and full chroma.
for (const hue of [0, 3599, 3600])
    for (const lightness of [0, 1, 500, 999, 1000])
        for (const chroma of [0, 1, 200, 400]) places.push([lightness, chroma, hue]);
while (places.length < count) {
    const hue = random() < 0.05 ? [0, 3600, 3599, 1][below(4)] : below(3600);
    places.push([below(1001), below(401), hue]);
}
const lines = places.slice(0, count).map(([l, c, h]) => {
    const mapped = new Color('oklch', [l / 1000, c / 1000, h / 10]).toGamut({ space: 'srgb', method: 'css' }).to('srgb');
    return `${l} ${c} ${h} ${mapped.coords.map(v => v.toPrecision(17)).join(' ')}`;
});
process.stdout.write(lines.join('\n') + '\n');
