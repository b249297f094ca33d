// SPDX-License-Identifier: MIT
// Marrowgate's page in Debian's headless Chromium, served as any static host would serve it. The pictures
// are compared with the desktop build's own drawings of the same screens, the computer game with the
// desktop game of the same seed; the page's main loop is held and stepped frame by frame, so nothing
// here depends on the machine's speed.
// Environment: MARROWGATE_SITE (the page's folder), MARROWGATE_DESKTOP_SCREENS (the desktop build's
// pictures of the screens), MARROWGATE_VICTORY ("SEED FRAMES" of the desktop's first victory),
// MARROWGATE_MUSIC (music.ogg decoded by libvorbisfile, interleaved stereo float32).
import {after, before, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';
import {serve} from './server.mjs';

const desktopScreens = process.env.MARROWGATE_DESKTOP_SCREENS;
const [victorySeed, victoryFrames] = process.env.MARROWGATE_VICTORY.split(' ').map(Number);
const shots = mkdtempSync(join(tmpdir(), 'marrowgate-web-'));
// The logical screen at one canvas pixel per unit, as the desktop pictures are drawn.
const exact = '?width=1024&height=768';
// The title's boxes and the board's first move, in logical units.
const offTheBoxes = [1000, 10];
const cpuBoxes = [[100, 480], [330, 480], [580, 480], [800, 480]];
const start = [520, 640];
const ruritaniasNeighbour = [618, 218];

let server;
let browser;
let address;

before(async () => {
  server = await serve(process.env.MARROWGATE_SITE);
  address = `http://127.0.0.1:${server.address().port}/`;
  // Debian's Chromium, drawing WebGL in software, its sound starting without waiting for a click.
  browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--autoplay-policy=no-user-gesture-required'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
});

// Every problem the page reports (console errors and uncaught exceptions), and every console line.
function watchConsole(page) {
  const problems = [];
  const messages = [];
  page.on('console', (message) => {
    messages.push(message.text());
    if (message.type() === 'error') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  return {problems, messages};
}

// Opens the page; options.seconds freezes the page's calendar clock there (the game's random seed),
// options.recordSound keeps a copy of every block of sound the page plays.
async function open(query, options = {}) {
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 768});
  const {problems, messages} = watchConsole(page);
  if (options.seconds !== undefined) {
    await page.evaluateOnNewDocument((milliseconds) => {
      const RealDate = Date;
      // eslint-disable-next-line no-global-assign
      Date = class extends RealDate {
        constructor(...args) { super(...(args.length ? args : [milliseconds])); }
        static now() { return milliseconds; }
      };
    }, options.seconds * 1000);
  }
  await page.evaluateOnNewDocument(() => {
    // Every block of sound, left and right, in the order the page plays them.
    window.played = [];
    window.playedRight = [];
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (when, ...rest) {
      if (this.buffer) {
        window.played.push(Array.from(this.buffer.getChannelData(0)));
        window.playedRate = this.buffer.sampleRate;
        window.playedRight.push(Array.from(this.buffer.getChannelData(this.buffer.numberOfChannels - 1)));
      }
      return start.call(this, when, ...rest);
    };
  });
  await page.goto(address + query);
  await holdMainLoop(page);
  return {page, problems, messages};
}

// Takes the page's main loop in hand: from here it only runs the passes step() allows, back to back.
async function holdMainLoop(page) {
  await page.waitForFunction(() => window.Module && Module.calledRun && typeof Browser === 'object'
    && Browser.mainLoop.func);
  // The game's own pace, before the tests take it over: a pass 30 ms after the last one began.
  assert.deepEqual(await page.evaluate(() => [Browser.mainLoop.timingMode, Browser.mainLoop.timingValue]),
    [0, 30]);
  await page.evaluate(() => {
    window.gate = {open: 0, passes: 0};
    Module.preMainLoop = () => window.gate.open > 0;
    Module.postMainLoop = () => { window.gate.open--; window.gate.passes++; };
    _emscripten_set_main_loop_timing(0, 0);
  });
}

async function step(page, passes = 1) {
  await page.evaluate((n) => { window.gate.open = n; }, passes);
  await page.waitForFunction(() => window.gate.open <= 0, {timeout: 600000, polling: 50});
}

async function click(page, [x, y]) {
  await page.mouse.click(x, y);
}

// How many pixels of the page's canvas differ from the desktop's picture by more than fuzz percent.
async function differingPixels(page, screen, fuzz) {
  const shot = join(shots, `${screen}-${Date.now()}.png`);
  await page.screenshot({path: shot, clip: {x: 0, y: 0, width: 1024, height: 768}});
  try {
    execFileSync('compare', ['-metric', 'AE', '-fuzz', `${fuzz}%`, join(desktopScreens, `${screen}.png`), shot,
      'null:'], {stdio: 'pipe'});
    return 0;
  } catch (error) {
    const count = Number(String(error.stderr).trim().split(' ')[0]);
    if (Number.isNaN(count)) throw error;
    return count;
  }
}

// The browser decodes the JPEG paper with another decoder and filters textures with another GL, so a few
// thousand pixels differ slightly (by under 2% of the range, seen here); a picture out of place or of
// another colour differs in tens of thousands. A few stray pixels are forgiven, and where the pointer
// is not yet drawn as the desktop's picture has it, the pointer's square.
const SHADE = 2;
const EXACT = 100;
const POINTER = 2500;

async function assertScreen(page, screen, context, allowed = EXACT) {
  const differing = await differingPixels(page, screen, SHADE);
  context?.diagnostic(`${screen}: ${differing} pixels differ by more than ${SHADE}%, `
    + `${await differingPixels(page, screen, 0)} differ at all`);
  assert.ok(differing <= allowed, `${differing} pixels differ from the desktop's ${screen} page`);
}

async function assertNotScreen(page, screen) {
  const differing = await differingPixels(page, screen, SHADE);
  assert.ok(differing > POINTER, `the page still shows the desktop's ${screen} page`);
}

async function toTitle(page, choices = []) {
  await click(page, offTheBoxes);
  for (const box of choices) await click(page, box);
  await page.mouse.move(...start);
  await step(page);
}

test('the sponsor page, then after a click the title, as the desktop draws them', async (context) => {
  const {page, problems} = await open(exact + '&nosound');
  await step(page);
  await assertScreen(page, 'sponsor', context);
  // The desktop's title picture has Molotavia and Stamark in the computer's hands.
  await toTitle(page, [cpuBoxes[1], cpuBoxes[3]]);
  await assertScreen(page, 'title', context);
  assert.deepEqual(problems, []);
  await page.close();
});

test('a four-computer game ends at the frame and with the winner the desktop game of its seed has',
  async (context) => {
    const {page, problems} = await open(exact + '&nosound', {seconds: victorySeed});
    await toTitle(page, cpuBoxes);
    await click(page, start);
    await page.mouse.move(760, 600);
    await step(page);
    await step(page, victoryFrames - 2);
    await assertNotScreen(page, 'victory');
    await step(page);
    await assertScreen(page, 'victory', context, POINTER);
    // The desktop's picture shows the pointer as the result page draws it after a move.
    await page.mouse.move(760, 600);
    await step(page);
    await assertScreen(page, 'victory', context);
    // A click on the result goes back to a fresh title.
    await click(page, [600, 300]);
    await step(page);
    await toTitle(page, [cpuBoxes[1], cpuBoxes[3]]);
    await assertScreen(page, 'title');
    assert.deepEqual(problems, []);
    await page.close();
  });

// The samples the page played from the given block on, run together.
async function playedSince(page, block) {
  return page.evaluate((from) => window.played.slice(from).flat(), block);
}

function loudness(samples) {
  return samples.reduce((most, sample) => Math.max(most, Math.abs(sample)), 0);
}

// Waits until the page has played this much sound since the given block.
async function waitForSound(page, block, seconds) {
  await page.waitForFunction((from, frames) => window.played.slice(from).flat().length >= frames,
    {timeout: 60000, polling: 100}, block, seconds * 44100);
}

test('a person moves by clicks and hears the click, the same sound the title plays', async () => {
  const {page, problems} = await open(exact + '&nomusic', {seconds: victorySeed});
  await toTitle(page);
  await click(page, start);
  await step(page);
  await waitForSound(page, 0, 1);
  const titleClick = (await playedSince(page, 0)).filter((sample) => sample !== 0);
  assert.ok(loudness(titleClick) > 0.05, 'the Start button is heard');

  const beforeMove = await page.evaluate(() => window.played.length);
  await waitForSound(page, beforeMove, 0.5);
  assert.equal(loudness(await playedSince(page, beforeMove)), 0, 'silence while nobody acts');
  const board = await differingPixels(page, 'victory', SHADE);
  const quiet = await page.evaluate(() => window.played.length);
  await click(page, ruritaniasNeighbour);
  await step(page);
  await waitForSound(page, quiet, 1);
  const moveClick = (await playedSince(page, quiet)).filter((sample) => sample !== 0);
  assert.deepEqual(moveClick, titleClick, 'the move is heard as the click effect');
  assert.notEqual(await differingPixels(page, 'victory', SHADE), board, 'the piece moved');
  assert.deepEqual(problems, []);
  await page.close();
});

// The music as the desktop's mixer makes it: decoded straight through, at its gain (less in a block that
// crosses from one buffer into the next), fading in by a fixed step each frame, in single precision.
function musicModel(decoded, frames, block) {
  const BUFFER = 11025;
  const step = Math.fround(0.000001);
  const mixed = {left: [], right: []};
  let volume = 0;
  for (let first = 0; first < frames; first += block) {
    let position = first % BUFFER;
    if (position === 0 && first > 0) position = BUFFER;
    const gain = block <= BUFFER - position ? 0.75 : 0.5;
    for (let frame = first; frame < first + block; ++frame) {
      const at = frame % (decoded.length / 2);
      mixed.left.push(Math.fround(Math.fround(decoded[2 * at] * volume) * gain));
      mixed.right.push(Math.fround(Math.fround(decoded[2 * at + 1] * volume) * gain));
      if (volume < 1) volume = Math.fround(volume + step);
    }
  }
  return mixed;
}

test('the music streams on from the browser\'s event loop as the desktop mixes it', async () => {
  const {page, problems} = await open(exact);
  await waitForSound(page, 0, 3);
  const [left, right, block] = await page.evaluate(() => {
    const blocks = window.played.length;
    return [window.played.flat(), window.playedRight.slice(0, blocks).flat(), window.played[0].length];
  });
  const decoded = new Float32Array(readFileSync(process.env.MARROWGATE_MUSIC).buffer.slice(0));
  const model = musicModel(decoded, left.length, block);
  // stb_vorbis and libvorbisfile round the last bits of a sample differently.
  const worst = (played, expected) => played.reduce((most, sample, i) => Math.max(most, Math.abs(sample - expected[i])), 0);
  assert.ok(worst(left, model.left) < 2e-5 && worst(right, model.right) < 2e-5,
    `the music differs from the desktop's mix by ${worst(left, model.left)}, ${worst(right, model.right)}`);
  assert.ok(loudness(left.slice(-44100)) > 0.01, 'the music is heard after its first buffers');
  assert.equal(await page.evaluate(() => window.playedRate), 44100);
  assert.deepEqual(problems, []);
  await page.close();
});

test('with ?nosound the page plays nothing and opens no sound output', async () => {
  const {page, problems} = await open(exact + '&nosound');
  await toTitle(page);
  await click(page, start);
  await step(page, 10);
  await click(page, ruritaniasNeighbour);
  await step(page, 10);
  await new Promise((resolve) => setTimeout(resolve, 1000));
  assert.equal(await page.evaluate(() => window.played.length), 0);
  assert.equal(await page.evaluate(() => SDL.audioContext), undefined);
  assert.deepEqual(problems, []);
  await page.close();
});

const settingsFile = '/home/web_user/.config/Ombrefell/Ombrefell.conf';

test('the settings file is made in the browser\'s storage, read from it and kept across visits',
  async () => {
    const {page, problems, messages} = await open('');
    const defaults = 'w 800\nh 600\na 0\nf 0\nns 0\nnm 0\nsdl 0\n';
    assert.equal(await page.evaluate((file) => FS.readFile(file, {encoding: 'utf8'}), settingsFile), defaults);
    assert.deepEqual(await page.evaluate(() => [Module.canvas.width, Module.canvas.height]), [800, 600]);
    // The page stores it in IndexedDB by itself: Emscripten keeps a mounted folder's files by path in a
    // database named after the folder.
    await page.waitForFunction((file) => new Promise((resolve) => {
      const database = indexedDB.open(file.slice(0, file.indexOf('/Ombrefell/')));
      database.onsuccess = () => {
        const stores = database.result.objectStoreNames;
        if (!stores.contains('FILE_DATA')) return resolve(false);
        const read = database.result.transaction('FILE_DATA').objectStore('FILE_DATA').get(file);
        read.onsuccess = () => resolve(read.result !== undefined);
      };
      database.onerror = () => resolve(false);
    }), {polling: 100, timeout: 10000}, settingsFile);
    const firstVisit = messages.length;
    await page.reload();
    await holdMainLoop(page);
    assert.ok(!messages.slice(firstVisit).some((line) => line.startsWith('Created directory')),
      'the settings folder is found again on the next visit');
    assert.equal(await page.evaluate((file) => FS.readFile(file, {encoding: 'utf8'}), settingsFile), defaults);
    // The player's own settings are read from it.
    await page.evaluate((file) => new Promise((resolve, reject) => {
      FS.writeFile(file, 'w 640\nh 480\nns 1\n');
      FS.syncfs(false, (error) => (error ? reject(error) : resolve()));
    }), settingsFile);
    await page.reload();
    await holdMainLoop(page);
    assert.deepEqual(await page.evaluate(() => [Module.canvas.width, Module.canvas.height]), [640, 480]);
    assert.equal(await page.evaluate(() => SDL.audioContext), undefined, 'the kept "ns 1" is read');
    // The picture fills the window with its shape kept, and refits when the window changes.
    await page.setViewport({width: 1000, height: 600});
    await page.waitForFunction(() => {
      const box = Module.canvas.getBoundingClientRect();
      return [box.left, box.top, box.width, box.height].join() === '100,0,800,600';
    }, {timeout: 5000});
    assert.deepEqual(problems, []);
    await page.close();
  });

test('Escape on the title ends the game; the page says so and starts it again on request', async () => {
  const {page, problems} = await open(exact + '&fullscreen');
  await page.evaluate(() => {
    window.fullscreenAsked = 0;
    Element.prototype.requestFullscreen = function () { window.fullscreenAsked++; return Promise.resolve(); };
  });
  await toTitle(page);
  assert.equal(await page.evaluate(() => window.fullscreenAsked), 1, 'full screen asked for at the first click');
  await page.keyboard.press('Escape');
  await step(page);
  await page.waitForFunction(() => window.marrowgateEnded !== undefined);
  assert.equal(await page.evaluate(() => window.marrowgateEnded), 0);
  assert.equal(await page.$eval('#message', (element) => element.textContent), 'Marrowgate has ended.');
  assert.equal(await page.$eval('canvas', (element) => element.checkVisibility()), false, 'the game is gone');
  const heard = await page.evaluate(() => window.played.length);
  await new Promise((resolve) => setTimeout(resolve, 500));
  assert.equal(await page.evaluate(() => window.played.length), heard, 'the sound stopped with the game');
  assert.deepEqual(await page.$eval('#again', (element) => [element.checkVisibility(), element.textContent]),
    [true, 'Play again']);
  await Promise.all([page.waitForNavigation(), page.click('#again')]);
  await holdMainLoop(page);
  await step(page);
  await assertScreen(page, 'sponsor');
  assert.deepEqual(problems, []);
  await page.close();
});
