// The visualization pages in a real browser: Debian's Chromium, driven by
// Playwright, opens the pages that the translator wrote for a copy of
// DCOPY with two tuning regions, served from a loopback port, and checks
// what a user sees: the progress bars, the data-list window of a result
// page and its chart.
//
// Usage: node browser_test.js <vexnorscript> <repository folder>
// Exit status 0 when every check passed, 77 (skipped) without Chromium.
'use strict';

const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const CHROMIUM = '/usr/bin/chromium';
const WAIT_MS = 30000;  // for anything but the two-second follow-up

const [exe, repo] = process.argv.slice(2);
if (!exe || !repo) {
  console.error('usage: node browser_test.js <vexnorscript> <repository folder>');
  process.exit(2);
}
if (!fs.existsSync(CHROMIUM)) {
  console.log(`SKIPPED: ${CHROMIUM} is not installed (scripts/install-deps.sh installs it).`);
  process.exit(77);
}
let chromium;
try {
  ({ chromium } = require(path.join(repo, 'web', 'node_modules', 'playwright-core')));
} catch (e) {
  console.error('playwright-core is missing: run scripts/install-deps.sh (npm ci in web/).');
  process.exit(1);
}

// A list-directed record as gfortran writes it: an integer in a field of
// 12, a double precision value with three leading blanks.
function intRecord(value, label) {
  return String(value).padStart(12) + (label ? ' ' + label : '');
}
function realRecord(value) {
  const [mantissa, exponent] = value.toExponential(16).split('e');
  const e = Number(exponent);
  return '   ' + mantissa + 'E' + (e < 0 ? '-' : '+') + String(Math.abs(e)).padStart(3, '0');
}

// The region log of region "copy" (i from 1 to 4, j from 2 to 3: 8 cases)
// for problem sizes 100 and 200, as its tuning driver writes it; case 5 of
// size 200 was not measured and left a blank record.
function regionLog() {
  const lines = [
    intRecord(2, 'NUMPROCS'),
    intRecord(100, 'Vexnor_STARTTUNESIZE'),
    intRecord(200, 'VEXNOR_ENDTUNESIZE'),
    intRecord(100, 'VEXNOR_SAMPDIST'),
    intRecord(-1, 'EndOfHeader'),
  ];
  const times = [];
  for (let row = 0; row < 16; row++) {
    const t = (row + 1) / 800;
    times.push(row === 12 ? '' : t);
    lines.push(row === 12 ? '' : realRecord(t));
  }
  return { text: lines.join('\n') + '\n', times };
}

// The fitting result file of region "copy" as its driver writes it with
// the format (D20.10, 20D20.10): per case its number and the coefficients
// of a line through its two measurements, highest power first.
function dField(v) {
  if (v === 0) return '0.0000000000D+00'.padStart(20);
  let e = Math.floor(Math.log10(Math.abs(v))) + 1;
  let m = v / 10 ** e;
  if (Math.abs(m) >= 1) {
    m /= 10;
    e++;
  }
  return ((m < 0 ? '-' : '') + Math.abs(m).toFixed(10) + 'D' + (e < 0 ? '-' : '+') +
          String(Math.abs(e)).padStart(2, '0')).padStart(20);
}
function fitFile() {
  const lines = [];
  for (let c = 1; c <= 8; c++) {
    lines.push([c, 1e-4, c / 800 - 0.01].map(dField).join(''));
  }
  return lines.join('\n') + '\n';
}

// Serves a folder on 127.0.0.1 with folder listings like those of
// python3 -m http.server.
function serve(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
  const server = http.createServer((req, res) => {
    const rel = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(rel));
    if (!file.startsWith(root)) {
      res.writeHead(403).end();
      return;
    }
    fs.stat(file, (err, st) => {
      if (err) {
        res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      } else if (st.isDirectory()) {
        const items = fs.readdirSync(file).map(
            (n) => `<li><a href="${encodeURIComponent(n)}">${n}</a></li>`);
        res.writeHead(200, { 'Content-Type': 'text/html' }).end(`<ul>${items.join('')}</ul>`);
      } else {
        const type = types[path.extname(file)] || 'application/octet-stream';
        res.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store' });
        fs.createReadStream(file).pipe(res);
      }
    });
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

// The share of pixels of a PNG that differ from its top-left pixel, and
// the number of distinct colours, decoded by the page itself.
async function inkOf(page, png) {
  return page.evaluate(async (b64) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + b64;
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = img.width;
    canvas.height = img.height;
    const ctx = canvas.getContext('2d');
    ctx.drawImage(img, 0, 0);
    const px = ctx.getImageData(0, 0, img.width, img.height).data;
    let differing = 0;
    const colours = new Set();
    for (let i = 0; i < px.length; i += 4) {
      if (px[i] !== px[0] || px[i + 1] !== px[1] || px[i + 2] !== px[2]) differing++;
      colours.add((px[i] << 16) | (px[i + 1] << 8) | px[i + 2]);
    }
    return { share: differing / (px.length / 4), colours: colours.size };
  }, png.toString('base64'));
}

const results = [];
async function check(name, body) {
  try {
    await body();
    results.push(true);
    console.log(`ok - ${name}`);
  } catch (e) {
    results.push(false);
    console.log(`FAILED - ${name}\n${e.stack || e}`);
  }
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexnor-browser-'));
  const source = path.join(work, 'dcopy_region.f');
  fs.copyFileSync(path.join(repo, 'tests', 'visual', 'dcopy_region.f'), source);
  const run = childProcess.spawnSync(exe, [source, '-visualization', 'ON'], { encoding: 'latin1' });
  assert.strictEqual(run.status, 0, `translation failed:\n${run.stdout}\n${run.stderr}`);
  const out = path.join(work, 'Vexnor');
  // Regions in list order: step (install, 2 cases), copy (static, 8 cases).
  fs.writeFileSync(path.join(out, 'VexnorATLog.dat'), intRecord(42) + '\n' + intRecord(7) + '\n');
  const log = regionLog();
  fs.writeFileSync(path.join(out, 'VexnorATLog_copy.dat'), log.text);
  fs.writeFileSync(path.join(out, 'copy_S_LSM.dat'), fitFile());

  const server = await serve(out);
  const base = `http://127.0.0.1:${server.address().port}`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vexnor-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  context.setDefaultTimeout(WAIT_MS);
  const problems = [];
  context.on('page', (p) => watch(p));
  function watch(p) {
    p.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
    p.on('dialog', (d) => {
      problems.push(`dialog: ${d.message()}`);
      d.dismiss().catch(() => {});
    });
  }
  try {
    const page = context.pages()[0] || await context.newPage();
    watch(page);

    await check('the summary page shows the progress log divided by 100', async () => {
      await page.goto(`${base}/VexnorATLog.html`);
      await page.waitForFunction(() => {
        const labels = document.querySelectorAll('.grafview-bar-label');
        return labels.length === 2 && labels[0].textContent === '42%' &&
            labels[1].textContent === '7%';
      });
      const bars = await page.$$eval('.grafview-bar', (list) => list.map((b) => ({
        value: Number(b.getAttribute('data-value')),
        fill: b.firstChild.style.width,
      })));
      assert.deepStrictEqual(bars, [{ value: 0.42, fill: '42%' }, { value: 0.07, fill: '7%' }]);
    });

    await check('the bars follow a change of the progress log within two seconds', async () => {
      const t0 = Date.now();
      fs.writeFileSync(path.join(out, 'VexnorATLog.dat'), intRecord(100) + '\n' + intRecord(55) + '\n');
      await page.waitForFunction(() => {
        const labels = document.querySelectorAll('.grafview-bar-label');
        return labels[0].textContent === '100%' && labels[1].textContent === '55%';
      }, null, { polling: 50 });
      const elapsed = Date.now() - t0;
      assert.ok(elapsed <= 2000, `the bars took ${elapsed} ms`);
    });

    await check('the result page lists one row per record of the region log', async () => {
      await page.goto(`${base}/VexnorATLog_copy.html`);
      await page.waitForFunction(() => document.gtable && document.gtable.getCount(0) === 42);
      const [popup] = await Promise.all([
        context.waitForEvent('page'),
        page.click('input[type=button]'),
      ]);
      await popup.waitForSelector('table');
      const rows = await popup.$$eval('tr', (list) => list.map(
          (r) => Array.from(r.cells).map((c) => c.textContent)));
      assert.deepStrictEqual(rows[0], ['DataNo', 'N', 'CaseNo', 'CaseInfo', 'Result']);
      assert.strictEqual(rows.length, 1 + 16);
      const info = ['i=1,j=2', 'i=1,j=3', 'i=2,j=2', 'i=2,j=3',
                    'i=3,j=2', 'i=3,j=3', 'i=4,j=2', 'i=4,j=3'];
      for (let r = 0; r < 16; r++) {
        assert.deepStrictEqual(rows[r + 1], [String(r + 1), String(r < 8 ? 100 : 200),
          String(r % 8 + 1), info[r % 8], String(log.times[r])], `row ${r + 1}`);
      }
      assert.deepStrictEqual(rows[2], ['2', '100', '2', 'i=1,j=3', '0.0025']);
      assert.deepStrictEqual(rows[13], ['13', '200', '5', 'i=3,j=2', '']);
      await popup.close();
    });

    await check('the result chart is drawn with the fitted curves', async () => {
      await page.waitForSelector('.grafview-chart canvas');
      await page.waitForTimeout(300);  // the first frame after the canvas appears
      const png = await page.locator('.grafview-chart').screenshot();
      fs.writeFileSync(path.join(work, 'result-chart.png'), png);
      const ink = await inkOf(page, png);
      assert.ok(ink.share > 0.02 && ink.colours > 8,
                `the chart looks blank: ${JSON.stringify(ink)} (${work}/result-chart.png)`);
      const legend = await page.$$eval('.u-legend .u-label', (l) => l.map((x) => x.textContent));
      assert.ok(legend.includes('Case 8') && legend.includes('Case 8 fitted'), `legend: ${legend}`);
    });

    await check('a page opened as a file says how to serve its folder', async () => {
      await page.goto('file://' + path.join(out, 'VexnorATLog.html'));
      const hint = await page.textContent('.grafview-serve-hint');
      assert.ok(hint.includes('python3 -m http.server'), hint);
      assert.ok(hint.includes(out), hint);
    });

    await check('no script error or alert on any page', async () => {
      assert.deepStrictEqual(problems, []);
    });
  } finally {
    await context.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  const failed = results.filter((ok) => !ok).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  // VEXNOR_KEEP_PAGES=1 keeps the pages and the chart's screenshot to look at.
  if (failed === 0 && !process.env.VEXNOR_KEEP_PAGES) {
    fs.rmSync(work, { recursive: true, force: true });
  } else {
    console.log(`pages and screenshot kept in ${work}`);
  }
  return failed === 0 ? 0 : 1;
}

main().then((status) => process.exit(status), (e) => {
  console.error(e.stack || e);
  process.exit(1);
});
