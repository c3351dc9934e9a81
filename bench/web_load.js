// The page's first result after load in headless Chromium: from the start of navigation to
// the first listing on the page, opened from disk, median of several fresh loads.
// Usage: node web_load.js SITE_FOLDER [LOADS]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [site, loads = '15'] = process.argv.slice(2);

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'meridel-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`],
  });
  const times = [];
  try {
    for (let i = 0; i < Number(loads); i++) {
      const page = await browser.newPage();
      await page.setCacheEnabled(false);
      await page.goto(`file://${path.resolve(site, 'index.html')}`);
      await page.waitForSelector('body[data-ready="true"]');
      times.push(Number(await page.$eval('body', (b) => b.dataset.firstResultMs)));
      await page.close();
    }
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  times.sort((a, b) => a - b);
  const bytes = fs.readdirSync(site).reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0);
  console.log(`page size: ${bytes} bytes (${(bytes / 1048576).toFixed(2)} MiB) in ${fs.readdirSync(site).join(', ')}`);
  console.log(`first result after load: median ${times[times.length >> 1]} ms, ` +
    `min ${times[0]} ms, max ${times[times.length - 1]} ms over ${times.length} loads`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
