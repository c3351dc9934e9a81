// The page's first result after load in headless Chromium: from the start of navigation to
// the first listing on the page, opened from disk, median of several fresh loads.
// Usage: node web_load.js SITE_FOLDER [LOADS]
'use strict';
const fs = require('fs');
const path = require('path');
const { withChromium, openPage } = require('../tests/web/chromium.js');

const [site, loads = '15'] = process.argv.slice(2);

async function main() {
  const times = [];
  await withChromium(async (browser) => {
    for (let i = 0; i < Number(loads); i++) {
      const page = await browser.newPage();
      await page.setCacheEnabled(false);
      await openPage(page, site);
      times.push(Number(await page.$eval('body', (b) => b.dataset.firstResultMs)));
      await page.close();
    }
  });
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
