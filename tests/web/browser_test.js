// The page in headless Chromium, opened from disk and driven with the keyboard: the 50 MHz
// JT65B plan gives the golden listing, the header downloads, a WSPR message encodes, words
// decode; a phone-sized screenshot is written.
// Usage: node browser_test.js SITE_FOLDER GOLDEN_LISTING SCREENSHOT_PNG
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [site, golden, screenshot] = process.argv.slice(2);

const chromiumFlags = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update',
  '--disable-sync'];

async function waitForFile(folder, name) {
  for (let i = 0; i < 100; i++) {
    const file = path.join(folder, name);
    if (fs.existsSync(file)) return fs.readFileSync(file);
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error(`no download ${name}`);
}

// Focuses the field and replaces its whole text by typing, as a user does.
async function type(page, id, text) {
  await page.focus(`#${id}`);
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  if (text === '') await page.keyboard.press('Backspace');
  else await page.keyboard.type(text);
}

async function choose(page, id, value) {
  await page.focus(`#${id}`);
  await page.select(`#${id}`, value);
}

const text = (page, id) => page.$eval(`#${id}`, (e) => e.value ?? e.textContent);
const content = (page, id) => page.$eval(`#${id}`, (e) => e.textContent);

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'meridel-chromium-'));
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'meridel-downloads-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [...chromiumFlags, `--user-data-dir=${profile}`],
  });
  try {
    const page = await browser.newPage();
    const requests = [];
    page.on('request', (r) => requests.push(r.url()));
    const problems = [];
    page.on('pageerror', (e) => problems.push(e.message));
    const cdp = await page.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 1, isMobile: true });
    await page.goto(`file://${path.resolve(site, 'index.html')}`);
    await page.waitForSelector('body[data-ready="true"]');

    // First start: the program's own first-start plan, shown without any edit.
    assert.strictEqual(await text(page, 'clock-freq'), ' 204.8');
    assert.strictEqual(await text(page, 'fo'), ' 50.505');
    assert.match(await content(page, 'listing'), /^0x3F,0x21,0x99,0x99,0x99,0x9A ; SSB Carrier/m);

    // The worked example, typed field by field; the listing follows every keystroke.
    await type(page, 'ref-in', '20');
    await choose(page, 'pll', '10');
    assert.strictEqual(await text(page, 'clock-freq'), ' 200');
    await type(page, 'output', '50');
    await type(page, 'rf-mult', '1');
    await type(page, 'tone', '1500');
    await type(page, 'shift', '850');
    await choose(page, 'mode', 'JT65B');
    await type(page, 'comment', 'Test');
    const want = fs.readFileSync(golden, 'latin1');
    assert.strictEqual(await content(page, 'listing'), want.replace(/\r\n/g, '\n'));
    assert.strictEqual(await text(page, 'key-freq'), '50.0015');
    assert.strictEqual(await content(page, 'warning'), '');

    // Download gives the file's bytes, CR LF and all, under the upper-cased name.
    await type(page, 'file-name', 'beacon.inc');
    await page.focus('#download');
    await page.keyboard.press('Enter');
    assert.ok((await waitForFile(downloads, 'BEACON.INC')).equals(fs.readFileSync(golden)));

    // A warning and an error as the desktop words them.
    await type(page, 'output', '90');
    // The window's red warning first, then the chip's word checks naming every word concerned.
    const warning = (await content(page, 'warning')).split('\n');
    assert.strictEqual(warning[0], 'DDS FREQ TOO HIGH!');
    assert.match(warning[1], /^above 0\.4 x the AD9852 clock of 200 MHz.*SSB Carrier at 90 MHz/);
    await type(page, 'rf-mult', '0');
    assert.match(await content(page, 'errors'), /RF Mult "0" rounds to 0/);
    assert.strictEqual(await content(page, 'listing'), '');
    await type(page, 'rf-mult', '1');
    await type(page, 'output', '50');

    // The C header downloads under the name as given.
    await choose(page, 'format', 'c');
    assert.match(await content(page, 'listing'), /#define DDS_SSB_CARRIER_FTW 0x400000000000ULL/);
    await type(page, 'file-name', 'beacon.h');
    await page.focus('#download');
    await page.keyboard.press('Enter');
    const header = (await waitForFile(downloads, 'beacon.h')).toString('latin1');
    assert.strictEqual(header, (await content(page, 'listing')));
    await choose(page, 'format', 'asm');

    // A WSPR message: the reference encoder's 162 symbols.
    await type(page, 'wspr-message', 'K1ABC FN42 37');
    assert.strictEqual((await content(page, 'symbols-wspr')).replace(/ /g, ''),
      '3300200010201312221003231332202000320123220022321102332102213212220330303012102120' +
      '32132003323032203020201023021112330231212221332000010320132222202332323320031222');
    await type(page, 'jt-message', 'HELLO!');
    assert.match(await content(page, 'message-errors'), /'!' cannot be sent/);
    await type(page, 'jt-message', '');
    assert.strictEqual(await content(page, 'message-errors'), '');

    // Decode words back into frequencies.
    await type(page, 'decode-words', '0x40,0x00,0x49,0xFC,0xCE,0x47');
    assert.strictEqual(await content(page, 'decoded'),
      '0x40,0x00,0x49,0xFC,0xCE,0x47 ; ftw 70369985482311 ; 50000881.9999998 Hz\n');

    // Keyboard alone: Tab walks from the first field through the plan in order.
    await page.focus('#ref-in');
    const order = [];
    for (let i = 0; i < 4; i++) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => document.activeElement.id));
    }
    assert.deepStrictEqual(order, ['pll', 'output', 'rf-mult', 'shift']);

    // Phone-sized: nothing wider than the screen but the listing, which scrolls itself.
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth);
    assert.ok(overflow <= 390, `page is ${overflow} px wide on a 390 px screen`);

    await type(page, 'wspr-message', 'K1ABC FN42 37');
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: screenshot, fullPage: false });
    assert.deepStrictEqual(problems, []);
    assert.deepStrictEqual(requests.filter((u) => !u.startsWith('file:') && !u.startsWith('blob:') &&
      !u.startsWith('data:')), []);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
    fs.rmSync(downloads, { recursive: true, force: true });
  }
}

main().then(() => console.log('page passed'), (e) => {
  console.error(e);
  process.exit(1);
});
