// The page in headless Chromium, opened from disk and driven with the keyboard: the 50 MHz
// JT65B plan gives the golden listing, the header downloads, a WSPR message encodes and its
// symbol file downloads as the native meridel-cli writes it, another chip's header follows the
// plan, errors read as the page's own, words decode, the carrier adjuster moves the carrier; a
// phone-sized screenshot is written.
// Usage: node browser_test.js SITE_FOLDER GOLDEN_LISTING SCREENSHOT_PNG NATIVE_MERIDEL_CLI
'use strict';
const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { withChromium, openPage } = require('./chromium.js');

const [site, golden, screenshot, nativeCli] = process.argv.slice(2);

async function waitForFile(folder, name) {
  const file = path.join(folder, name);
  for (let i = 0; i < 100 && !fs.existsSync(file); i++) await new Promise((r) => setTimeout(r, 50));
  return fs.readFileSync(file);
}

// Focuses the field and replaces its whole text by typing, as a user does, or picks the entry.
async function type(page, id, text) {
  await page.focus(`#${id}`);
  if (await page.$eval(`#${id}`, (e) => e.tagName === 'SELECT')) return page.select(`#${id}`, text);
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
}

async function press(page, id) {
  await page.focus(`#${id}`);
  await page.keyboard.press('Enter');
}

const text = (page, id) => page.$eval(`#${id}`, (e) => e.value ?? e.textContent);

async function main(browser, scratch) {
  const downloads = path.join(scratch, 'downloads');
  const page = await browser.newPage();
  const requests = [], problems = [];
  page.on('request', (r) => requests.push(r.url()));
  page.on('pageerror', (e) => problems.push(e.message));
  const cdp = await page.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 1, isMobile: true });
  await openPage(page, site);

  // First start: the program's own first-start plan, shown without any edit.
  assert.strictEqual(await text(page, 'clock-freq'), ' 204.8');
  assert.strictEqual(await text(page, 'fo'), ' 50.505');
  assert.match(await text(page, 'listing'), /^0x3F,0x21,0x99,0x99,0x99,0x9A ; SSB Carrier/m);

  // The worked example, typed field by field; the listing follows every keystroke.
  await type(page, 'ref-in', '20');
  await type(page, 'pll', '10');
  assert.strictEqual(await text(page, 'clock-freq'), ' 200');
  await type(page, 'output', '50');
  await type(page, 'rf-mult', '1');
  await type(page, 'tone', '1500');
  await type(page, 'shift', '850');
  await type(page, 'mode', 'JT65B');
  await type(page, 'comment', 'Test');
  const want = fs.readFileSync(golden, 'latin1');
  assert.strictEqual(await text(page, 'listing'), want.replace(/\r\n/g, '\n'));
  assert.strictEqual(await text(page, 'key-freq'), '50.0015');
  assert.strictEqual(await text(page, 'warning'), '');

  // Download gives the file's bytes, CR LF and all, under the upper-cased name.
  await type(page, 'file-name', 'beacon.inc');
  await press(page, 'download');
  assert.ok((await waitForFile(downloads, 'BEACON.INC')).equals(fs.readFileSync(golden)));

  // A warning and an error as the desktop words them.
  await type(page, 'output', '90');
  // The window's red warning first, then the chip's word checks naming every word concerned.
  const warning = (await text(page, 'warning')).split('\n');
  assert.strictEqual(warning[0], 'DDS FREQ TOO HIGH!');
  assert.match(warning[1], /^above 0\.4 x the AD9852 clock of 200 MHz.*SSB Carrier at 90 MHz/);
  await type(page, 'rf-mult', '0');
  assert.match(await text(page, 'errors'), /^RF Mult "0" rounds to 0/);
  assert.strictEqual(await text(page, 'listing'), '');
  await type(page, 'rf-mult', '1');
  await type(page, 'output', '50');

  // The C header downloads under the name as given.
  await type(page, 'format', 'c');
  assert.match(await text(page, 'listing'), /#define DDS_SSB_CARRIER_FTW 0x400000000000ULL/);
  await type(page, 'file-name', 'beacon.h');
  await press(page, 'download');
  const header = (await waitForFile(downloads, 'beacon.h')).toString('latin1');
  assert.strictEqual(header, (await text(page, 'listing')));
  await type(page, 'format', 'asm');

  // A WSPR message: the reference encoder's 162 symbols, and the native symbol file.
  await type(page, 'wspr-message', 'K1ABC FN42 37');
  const vectors = fs.readFileSync(path.join(path.dirname(golden), 'modes/wspr.txt'), 'utf8');
  assert.strictEqual((await text(page, 'symbols-wspr')).replace(/ /g, ''),
    vectors.match(/^WSPR\|K1ABC FN42 37\|(\d{162})$/m)[1]);
  const plan = ['--ref-in', '20', '--pll', '10', '--output', '50', '--rf-mult', '1', '--tone',
    '1500', '--shift', '850', '--mode', 'JT65B', '--comment', 'Test'];
  const nativeSymbols = path.join(scratch, 'native.inc');
  execFileSync(nativeCli, [...plan, '--wspr-message', 'K1ABC FN42 37', '--symbol-file',
    nativeSymbols]);
  await press(page, 'download-symbols');
  assert.ok((await waitForFile(downloads, 'SYMBOLS.INC')).equals(fs.readFileSync(nativeSymbols)));

  // Another chip after the plan's reference and PLL were typed: its header on its own clock, as
  // the native meridel-cli writes it, under the header's name; the format follows the chip.
  await type(page, 'dds', 'AD9850');
  assert.strictEqual(await text(page, 'format'), 'c');
  assert.ok(await page.$eval('#format option[value="asm"]', (e) => e.disabled));
  assert.match(await text(page, 'errors'), /^DDS chip AD9850 needs Chip clock MHz\b/);
  await type(page, 'clock', '125');
  const nativeHeader = execFileSync(nativeCli, [...plan.slice(4), '--dds', 'AD9850', '--clock',
    '125', '--wspr-message', 'K1ABC FN42 37', '--format', 'c'], { stdio: 'pipe' });
  assert.strictEqual(await text(page, 'listing'), nativeHeader.toString('latin1'));
  await type(page, 'file-name', 'ad9850.h');
  await press(page, 'download');
  assert.ok((await waitForFile(downloads, 'ad9850.h')).equals(nativeHeader));

  // Errors in the page's words, beside the field at fault. Each message is encoded on its own:
  // a bad one leaves the others' symbols, which the header carries, and the page follows on.
  await type(page, 'cw-message', 'TEST');
  await type(page, 'pi4-message', 'PA0ABC');
  for (const [field, bad, box, said, good] of [
    ['jt-message', 'HELLO!', 'message-errors', /^JT65B message "HELLO!": '!' cannot be sent/, ''],
    ['cw-wpm', 'fast', 'message-errors', /^CW speed WPM "fast" /, '12'],
    ['pi4-audio', 'x', 'message-errors', /^PI4 audio offset Hz "x" /, '800'],
    ['clock', 'abc', 'errors', /^Chip clock MHz "abc" /, '125'],
    ['decode-words', 'xyz', 'decode-errors', /^Words: "xyz" is not a word/, ''],
  ]) {
    await type(page, field, bad);
    const error = await text(page, box);
    assert.match(error, said);
    assert.doesNotMatch(error, /--|error|usage|meridel-cli/);
    if (box === 'message-errors') {
      assert.strictEqual(await page.$eval(`#${field}`, (e) => e.getAttribute('aria-invalid')),
        'true');
      assert.deepStrictEqual(await page.$$eval('[aria-invalid]', (all) => all.map((e) => e.id)),
        [field]);
      assert.match(await text(page, 'symbols-wspr'), /^3 3 0 0 2 0/);
      assert.match(await text(page, 'listing'), /_MSG_WSPR_/);
    }
    await type(page, field, good);
    assert.strictEqual(await text(page, box), '');
  }
  assert.strictEqual(await page.$$eval('[aria-invalid]', (list) => list.length), 0);
  await type(page, 'dds', 'AD9852');
  await type(page, 'file-name', 'beacon.inc');
  assert.strictEqual(await text(page, 'format'), 'asm');
  assert.strictEqual(await text(page, 'listing'), want.replace(/\r\n/g, '\n'));

  // Decode words back into frequencies.
  await type(page, 'decode-words', '0x40,0x00,0x49,0xFC,0xCE,0x47');
  assert.strictEqual(await text(page, 'decoded'),
    '0x40,0x00,0x49,0xFC,0xCE,0x47 ; ftw 70369985482311 ; 50000881.9999998 Hz\n');

  // Keyboard alone: Tab walks from the first field through the plan in order.
  await page.focus('#ref-in');
  for (const next of ['pll', 'output', 'rf-mult', 'shift']) {
    await page.keyboard.press('Tab');
    assert.strictEqual(await page.evaluate(() => document.activeElement.id), next);
  }

  // Phone-sized: nothing wider than the screen but the listing, which scrolls itself.
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth);
  assert.ok(overflow <= 390, `page is ${overflow} px wide on a 390 px screen`);

  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: screenshot, fullPage: false });
  // The carrier adjuster puts the tone on the typed frequency: 1500 Hz below 50.0025 MHz.
  await type(page, 'key-freq', '50.0025');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');
  assert.strictEqual((await text(page, 'output')).trim(), '50.001');
  assert.strictEqual(await text(page, 'key-freq'), '50.0025');
  assert.ok(await page.$eval('#set-carr', (e) => e.disabled));

  assert.deepStrictEqual(problems, []);
  assert.deepStrictEqual(requests.filter((u) => !u.startsWith('file:') && !u.startsWith('blob:') &&
    !u.startsWith('data:')), []);
}

withChromium(main).then(() => console.log('page passed'), (e) => {
  console.error(e);
  process.exit(1);
});
