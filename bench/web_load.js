// The page's weight and its first result after load in headless Chromium: from the start of
// navigation to the first listing on the page (the page stamps it), median of several fresh
// loads with the cache off, opened from disk and over HTTP from a local server in this process.
// Usage: node web_load.js SITE_FOLDER [LOADS]
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { withChromium, openPage } = require('../tests/web/chromium.js');

const [site, loads = '15'] = process.argv.slice(2);
const types = { '.html': 'text/html', '.js': 'text/javascript' };

// The site folder over HTTP on a free local port.
function serve(folder) {
  const server = http.createServer((request, response) => {
    const file = path.join(folder, path.basename(request.url === '/' ? 'index.html' : request.url));
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
      response.end(bytes);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function firstResults(browser, url) {
  const times = [];
  for (let i = 0; i < Number(loads); i++) {
    const page = await browser.newPage();
    await page.setCacheEnabled(false);
    await openPage(page, site, url);
    times.push(Number(await page.$eval('body', (b) => b.dataset.firstResultMs)));
    await page.close();
  }
  return times.sort((a, b) => a - b);
}

function report(how, times) {
  console.log(`first result ${how}: median ${times[(times.length - 1) >> 1]} ms, ` +
    `min ${times[0]} ms, max ${times[times.length - 1]} ms over ${times.length} loads`);
}

async function main() {
  const server = await serve(site);
  try {
    await withChromium(async (browser) => {
      report('from disk', await firstResults(browser));
      report('over HTTP', await firstResults(browser, `http://127.0.0.1:${server.address().port}/`));
    });
  } finally {
    server.close();
  }
  const files = fs.readdirSync(site);
  const bytes = files.reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0);
  console.log(`page size: ${bytes} bytes (${(bytes / 1048576).toFixed(2)} MiB) in ${files.join(', ')}`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
