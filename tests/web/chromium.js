// Headless Chromium for the page's test and its benchmark: Debian's chromium (or $CHROMIUM) on
// a throwaway profile folder (handed to the user for scratch files too), kept off the network,
// and the page opened from disk until its first result.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

async function withChromium(use) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'meridel-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`],
  });
  try {
    return await use(browser, profile);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

// The page from disk, or from `url` when given.
async function openPage(page, site, url) {
  await page.goto(url || `file://${path.resolve(site, 'index.html')}`);
  await page.waitForSelector('body[data-ready="true"]');
}

module.exports = { withChromium, openPage };
