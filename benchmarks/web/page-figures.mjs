// SPDX-License-Identifier: MIT
// Figures of the page in Debian's headless Chromium on this machine, printed, never judged: the bytes a
// first visit transfers (as stored, and gzip-compressed as most hosts send them), the time from loading
// the page to the sponsor page's first frame (median of five loads), and the processor time while the
// title stands still, of the page's main thread and of all of Chromium's processes (clock ticks of 10 ms).
// Usage: node benchmarks/web/page-figures.mjs [SITE_FOLDER]   (after tools/web.sh and tests/web's npm ci)
import {createRequire} from 'node:module';
import {readdirSync, readFileSync} from 'node:fs';
import {join} from 'node:path';
import {gzipSync} from 'node:zlib';

const tests = new URL('../../tests/web/', import.meta.url);
const puppeteer = (await import(createRequire(new URL('package.json', tests)).resolve('puppeteer-core'))).default;
const {serve} = await import(new URL('server.mjs', tests));
const site = process.argv[2] || 'build-web/site';

const server = await serve(site);
const address = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required'],
});

// Processor time, in clock ticks, of Chromium's processes: the browser, its GPU process, the page's.
function chromiumTicks() {
  const parents = new Map();
  const ticks = new Map();
  for (const pid of readdirSync('/proc').filter((name) => /^[0-9]+$/.test(name))) {
    try {
      const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
      parents.set(pid, fields[1]);
      ticks.set(pid, Number(fields[11]) + Number(fields[12]));
    } catch {
      // The process ended meanwhile.
    }
  }
  const family = new Set([String(browser.process().pid)]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents) {
      if (family.has(parent) && !family.has(pid)) {
        family.add(pid);
        grown = true;
      }
    }
  }
  return [...family].reduce((sum, pid) => sum + (ticks.get(pid) || 0), 0);
}

async function newPage() {
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 768});
  await page.setCacheEnabled(false);
  // The moment of the first pass of the game's main loop, which draws the sponsor page.
  await page.evaluateOnNewDocument(() => {
    let module;
    Object.defineProperty(window, 'Module', {
      configurable: true,
      get: () => module,
      set: (value) => {
        module = value;
        module.postMainLoop = () => {
          if (window.firstFrame === undefined) window.firstFrame = performance.now();
        };
      },
    });
  });
  return page;
}

async function firstVisit() {
  const page = await newPage();
  const files = [];
  page.on('requestfinished', (request) => files.push(new URL(request.url()).pathname));
  await page.goto(address);
  await page.waitForFunction(() => window.firstFrame !== undefined, {timeout: 60000});
  const firstFrame = await page.evaluate(() => window.firstFrame);
  await page.close();
  return {files, firstFrame};
}

const visits = [];
for (let visit = 0; visit < 5; ++visit) visits.push(await firstVisit());
let stored = 0;
let compressed = 0;
for (const path of visits[0].files) {
  const bytes = readFileSync(join(site, path.endsWith('/') ? path + 'index.html' : path));
  stored += bytes.length;
  compressed += gzipSync(bytes, {level: 9}).length;
}
const times = visits.map((visit) => visit.firstFrame).sort((a, b) => a - b);

// Processor time over ten seconds of the title standing still, as fractions of a core: the page's main
// thread and all of Chromium's processes.
async function idleTitle(query) {
  const page = await newPage();
  await page.goto(address + query);
  await page.waitForFunction(() => window.firstFrame !== undefined, {timeout: 60000});
  await page.mouse.click(1000, 10);
  await new Promise((resolve) => setTimeout(resolve, 2000));
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const taskTime = async () => (await session.send('Performance.getMetrics')).metrics
    .find((metric) => metric.name === 'TaskDuration').value;
  const before = await taskTime();
  const chromiumBefore = chromiumTicks();
  const seconds = 10;
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const mainThread = ((await taskTime()) - before) / seconds;
  const chromium = (chromiumTicks() - chromiumBefore) / 100 / seconds;
  await page.close();
  return `${(100 * mainThread).toFixed(2)}% of a core on the page's main thread, `
    + `${(100 * chromium).toFixed(1)}% in all of Chromium's processes`;
}

const megabytes = (bytes) => (bytes / 1e6).toFixed(2);
console.log(`first visit: ${visits[0].files.length} files, ${megabytes(stored)} MB as stored, `
  + `${megabytes(compressed)} MB gzip-compressed`);
console.log(`load to the sponsor page's first frame: ${Math.round(times[2])} ms median `
  + `(${times.map(Math.round).join(', ')} ms)`);
console.log(`title standing still with its music: ${await idleTitle('')}`);
console.log(`title standing still with ?nosound: ${await idleTitle('?nosound')}`);
await browser.close();
server.close();
