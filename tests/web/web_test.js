// Loads the web build in headless Chromium from a loopback server and checks what the page shows against the native game's own frames.
// usage: node web_test.js WWW_DIR NATIVE_RUN_DIR [OUT_DIR]
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const puppeteer = require('puppeteer-core');
const { readPng, regionDifference } = require('./png.js');

const [www, nativeRun, outArg] = process.argv.slice(2);
const outDir = outArg || fs.mkdtempSync(path.join(os.tmpdir(), 'kordax-web-'));
fs.mkdirSync(outDir, { recursive: true });
if (!www || !nativeRun) {
  console.error('usage: node web_test.js WWW_DIR NATIVE_RUN_DIR [OUT_DIR]');
  process.exit(2);
}
const TITLE_LIMIT_MS = 30000;
const home = '/home/web_user'; // the page's home folder, kept in IndexedDB // what the test waits for; the figure itself is reported, not judged here

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.gz': 'application/gzip' };

// A plain static server, like the ones the page must work from: no compression, no special headers.
function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(path.resolve(root), name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The native game's frame at the same moment of the title, headless, from a scratch folder.
function nativeFrame(name, script) {
  const dir = path.join(outDir, 'native-' + path.basename(name, '.png'));
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir);
  for (const sub of ['gfx', 'sound']) fs.symlinkSync(path.resolve(nativeRun, sub), path.join(dir, sub));
  fs.writeFileSync(path.join(dir, 'script.txt'), script);
  execFileSync(path.resolve(nativeRun, 'kordax'), ['--headless', '--script', 'script.txt'], { cwd: dir, stdio: 'ignore' });
  return readPng(fs.readFileSync(path.join(dir, name)));
}

// Share of 40x40 blocks that match, and the worst difference over the given still areas (the
// panel on the right, which no light reaches). The travelling lights over the field are the only
// thing allowed to differ, and they cover few blocks.
function compare(shot, expected, still) {
  let same = 0, blocks = 0;
  for (let y = 0; y < expected.height; y += 40)
    for (let x = 0; x < expected.width; x += 40, blocks++)
      if (regionDifference(shot, expected, [x, y, 40, 40]) < 2) same++;
  return { share: same / blocks, still: Math.max(...still.map((r) => regionDifference(shot, expected, r))) };
}

const failures = [];
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures.push(what);
}

(async () => {
  const server = await serve(www);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // WebGL through the software renderer: a test machine has no graphics driver.
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader', '--mute-audio'],
  });
  try {
    const page = await browser.newPage();
    const errors = [], consoleLines = [];
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('console', (m) => consoleLines.push(m.text()));
    // The window is the picture's own size, so the canvas holds it pixel for pixel.
    await page.setViewport({ width: 640, height: 480 });
    // Every draw onto the page's own framebuffer is the end of one of the game's frames.
    await page.evaluateOnNewDocument(() => {
      window.kordaxFrames = [];
      for (const proto of [WebGLRenderingContext.prototype, WebGL2RenderingContext.prototype])
        for (const name of ['drawArrays', 'drawElements']) {
          const original = proto[name];
          proto[name] = function (...args) {
            if (this.getParameter(this.FRAMEBUFFER_BINDING) === null) window.kordaxFrames.push(performance.now());
            return original.apply(this, args);
          };
        }
    });
    // A standard pad as the Gamepad API presents one, connected from the start.
    await page.evaluateOnNewDocument(() => {
      const pad = { id: 'Kordax test pad', index: 0, connected: true, mapping: 'standard', timestamp: 1,
        axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })) };
      navigator.getGamepads = () => [pad, null, null, null];
      window.addEventListener('load', () => {
        const connected = new Event('gamepadconnected');
        connected.gamepad = pad;
        window.dispatchEvent(connected);
      });
    });
    const started = Date.now();
    await page.goto(url, { waitUntil: 'load' });

    // Waits for the page to show what the native game drew, the travelling lights aside.
    async function waitForFrame(name, expected, still, limitMs) {
      const from = Date.now();
      let result = null;
      while (Date.now() - from < limitMs) {
        await page.evaluate(() => { document.getElementById('note').style.visibility = 'hidden'; });
        const png = await page.screenshot();
        result = compare(readPng(png), expected, still);
        if (result.share >= 0.8 && result.still < 1) {
          fs.writeFileSync(path.join(outDir, `web_${name}.png`), png);
          return { ms: Date.now() - from, result };
        }
        await new Promise((resolve) => setTimeout(resolve, 200));
      }
      fs.writeFileSync(path.join(outDir, `web_${name}_last.png`), await page.screenshot());
      return { ms: -1, result };
    }
    const described = (r) => r ? ` (${(r.share * 100).toFixed(0)} % of blocks the same, still areas off by ${r.still.toFixed(2)})` : '';

    // The title, against the native title frame. Screenshots cost the page processor time, so
    // none is taken before the splash could have ended: two seconds measuring the frame rate,
    // five of the splash, counted from the program's start.
    const title = nativeFrame('title.png', '9000 shot title.png\n9100 quit\n');
    await page.waitForFunction(() => window.kordaxRunning, { timeout: TITLE_LIMIT_MS });
    await page.waitForFunction(() => performance.now() > window.kordaxRunning + 6500, { timeout: TITLE_LIMIT_MS });
    const shown = await waitForFrame('title', title, [[480, 0, 160, 480]], TITLE_LIMIT_MS);
    check(shown.ms >= 0, 'the title shows in the canvas as the native game draws it' + described(shown.result));
    if (shown.ms >= 0) console.log(`time to the title: ${((Date.now() - started) / 1000).toFixed(1)} s`);

    const note = await page.$eval('#note', (e) => e.textContent);
    check(note === 'Click or press a key for sound', `before any key the page asks for one ("${note}")`);
    await page.evaluate(() => { document.getElementById('note').style.visibility = ''; });
    await page.keyboard.press('Shift');
    const after = await page.$eval('#note', (e) => e.textContent);
    check(after === '', `a key takes the request away ("${after}")`);

    // The pad is offered to player 1: on the title, the only change from the pad-less native frame
    // is the player's input, no longer the keyboard.
    for (const key of ['ArrowDown', 'ArrowDown', 'ArrowRight']) await page.keyboard.press(key);
    const noPad = nativeFrame('p1right.png', '9000 press 40\n9100 press 40\n9200 press 39\n9500 shot p1right.png\n9600 quit\n');
    const choice = [200, 112, 200, 30];
    const offered = await waitForFrame('pad', noPad, [[480, 0, 160, 480]], 5000);
    const png = await page.screenshot();
    fs.writeFileSync(path.join(outDir, 'web_pad.png'), png);
    const changed = regionDifference(readPng(png), noPad, choice);
    check(offered.ms >= 0 && changed > 5, `a pad from the Gamepad API is offered to player 1 (its row off by ${changed.toFixed(1)})`);
    for (const key of ['ArrowUp', 'ArrowUp']) await page.keyboard.press(key);

    // Return starts a one-player game: its first screen as the native game draws it.
    await page.keyboard.press('Enter');
    const ready = nativeFrame('play.png', '9000 press 13\n11000 shot play.png\n11100 quit\n');
    const playing = await waitForFrame('play', ready, [[480, 100, 160, 230]], 10000);
    check(playing.ms >= 0, 'Return on the title starts a game' + described(playing.result));

    // Frames in play, firing: each one ends with the picture drawn onto the page's own framebuffer.
    await page.evaluate(() => { window.kordaxFrames.length = 0; });
    await page.keyboard.down('Space');
    await new Promise((resolve) => setTimeout(resolve, 5000));
    await page.keyboard.up('Space');
    const frames = await page.evaluate(() => window.kordaxFrames.slice());
    const gaps = frames.slice(1).map((t, i) => t - frames[i]).sort((a, b) => a - b);
    check(gaps.length > 50, `the game keeps drawing in play (${frames.length} frames in 5 s)`);
    if (gaps.length)
      console.log(`frame time in play: median ${gaps[gaps.length >> 1].toFixed(1)} ms, ` +
        `99th percentile ${gaps[Math.floor(gaps.length * 0.99)].toFixed(1)} ms`);

    // The tab hidden pauses play as a minimised window does: shown again, the field is dimmed
    // under the caption, until Pause resumes.
    const visibility = (hidden) => page.evaluate((h) => {
      Object.defineProperty(document, 'hidden', { value: h, configurable: true });
      Object.defineProperty(document, 'visibilityState', { value: h ? 'hidden' : 'visible', configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    }, hidden);
    const fieldLight = async () => {
      const { width, rgba } = readPng(await page.screenshot());
      let sum = 0;
      for (let y = 20; y < 140; y++) for (let x = 20; x < 420; x++) sum += rgba[(y * width + x) * 4 + 1];
      return sum;
    };
    const lit = await fieldLight();
    await visibility(true);
    await new Promise((resolve) => setTimeout(resolve, 500));
    await visibility(false);
    await new Promise((resolve) => setTimeout(resolve, 500));
    const dimmed = await fieldLight();
    check(dimmed < lit * 0.7, `hiding the tab pauses play (the field at ${(100 * dimmed / lit).toFixed(0)} % of its light)`);
    await page.keyboard.press('Pause');
    await new Promise((resolve) => setTimeout(resolve, 500));
    const resumed = await fieldLight();
    check(resumed > lit * 0.7, `Pause resumes (${(100 * resumed / lit).toFixed(0)} %)`);

    // The game's own measure of its frames, from its log in the page's file system.
    const readFile = (name) => page.evaluate((n) => new TextDecoder().decode(window.Module.FS.readFile(n)), name);
    const log = await readFile(home + '/.local/state/kordax/dderrors.log');
    const rates = log.match(/Refresh rate determined: .*/g) || [];
    check(rates.length > 0 && consoleLines.some((line) => line.includes(rates[0])), 'the game\'s log reaches the browser console');
    console.log('frame rate in the page: ' + (rates.join('; ') || 'not determined'));

    // Escape abandons the game; on the input screen player 1's first key becomes Q, which is saved
    // at once into IndexedDB; after a reload the input screen shows it as the native game does.
    // Escape abandons only in play: a life lost by now leaves the game waiting for fire, or still
    // dying, so fire is pressed and Escape held again until the title is back.
    let back = { ms: -1 };
    for (let tries = 0; tries < 8 && back.ms < 0; tries++) {
      if (tries > 0) await page.keyboard.press('Space');
      await page.keyboard.down('Escape');
      await new Promise((resolve) => setTimeout(resolve, 300));
      await page.keyboard.up('Escape');
      back = await waitForFrame('title_again', title, [[480, 0, 160, 480]], 1500);
    }
    check(back.ms >= 0, 'Escape abandons the game for the title' + described(back.result));
    const toKeys = ['ArrowDown', 'ArrowDown', 'Enter'];
    for (const key of [...toKeys, 'Enter', 'KeyQ', 'Escape']) {
      await page.keyboard.press(key);
      await new Promise((resolve) => setTimeout(resolve, 150));
    }
    const ini = home + '/.config/kordax/kordax.ini';
    let saved = '';
    for (let i = 0; i < 30 && !saved; i++) {
      await new Promise((resolve) => setTimeout(resolve, 100));
      saved = await readFile(ini).catch(() => '');
    }
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.kordaxRunning, { timeout: TITLE_LIMIT_MS });
    const kept = await readFile(ini).catch(() => '');
    check(saved !== '' && kept === saved, `the keys file is kept through a reload (${saved.length} bytes saved, ${kept.length} found)`);
    await page.waitForFunction(() => performance.now() > window.kordaxRunning + 8000, { timeout: TITLE_LIMIT_MS });
    await page.keyboard.press('Shift');
    for (const key of toKeys) await page.keyboard.press(key);
    const keys = nativeFrame('keys.png', '9000 press 40\n9100 press 40\n9200 press 13\n9300 press 13\n9400 press 81\n' +
      '9500 shot keys.png\n9600 quit\n');
    const inForce = await waitForFrame('keys', keys, [[480, 0, 160, 480], [270, 90, 50, 40]], 5000);
    check(inForce.ms >= 0, 'after the reload the changed key is in force on the input screen' + described(inForce.result));

    // F12 hands the picture over as a download: a 640x480 PNG.
    const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'kordax-downloads-'));
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.keyboard.press('F12');
    let shot = null;
    for (let i = 0; i < 50 && !shot; i++) {
      await new Promise((resolve) => setTimeout(resolve, 100));
      const name = fs.readdirSync(downloads).find((n) => /^kordax-.*\.png$/.test(n));
      if (name) shot = readPng(fs.readFileSync(path.join(downloads, name)));
    }
    check(shot && shot.width === 640 && shot.height === 480, 'F12 downloads the picture as a 640x480 PNG' +
      (shot ? ` (${shot.width}x${shot.height})` : ' (none came)'));

    // The journal of this run comes as a download too; replayed by the native game it says how far
    // the two builds agree (reported, not judged: the page's floating point may differ).
    await page.evaluate(() => window.Module.kordaxReplay());
    let journal = null;
    for (let i = 0; i < 50 && !journal; i++) {
      await new Promise((resolve) => setTimeout(resolve, 100));
      journal = fs.readdirSync(downloads).find((n) => /^kordax-.*\.kxr$/.test(n));
    }
    check(!!journal, 'the run\'s replay downloads' + (journal ? ` (${fs.statSync(path.join(downloads, journal)).size} bytes)` : ''));
    if (journal) {
      const dir = path.join(outDir, 'native-replay');
      fs.rmSync(dir, { recursive: true, force: true });
      fs.mkdirSync(dir);
      for (const sub of ['gfx', 'sound']) fs.symlinkSync(path.resolve(nativeRun, sub), path.join(dir, sub));
      let said;
      try {
        said = execFileSync(path.resolve(nativeRun, 'kordax'), ['--headless', '--replay', path.join(downloads, journal)],
          { cwd: dir, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
      } catch (e) {
        said = `${e.stdout || ''}${e.stderr || ''}`;
      }
      console.log('the native game replaying it: ' + said.trim().split('\n').pop());
    }
    fs.rmSync(downloads, { recursive: true, force: true });

    // Alt+Enter asks the browser for full screen and gives it back.
    const altEnter = async () => {
      await page.keyboard.down('Alt');
      await page.keyboard.press('Enter');
      await page.keyboard.up('Alt');
      await new Promise((resolve) => setTimeout(resolve, 700));
      return page.evaluate(() => (document.fullscreenElement ? document.fullscreenElement.id : ''));
    };
    const full = await altEnter(), windowed = await altEnter();
    check(full === 'canvas' && windowed === '', `Alt+Enter switches the page's full screen on and off ("${full}", "${windowed}")`);
    check(errors.length === 0, 'no script errors' + (errors.length ? ': ' + errors.join('; ') : ''));
    console.log(`pictures in ${outDir}`);
  } finally {
    await browser.close();
    server.close();
  }
  process.exit(failures.length ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
