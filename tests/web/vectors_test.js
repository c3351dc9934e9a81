// The page's module and call path under Node over the message vector files: every message
// encodes to the reference symbols, or is refused where the native encoder refuses it.
// Usage: node vectors_test.js SITE_FOLDER MODES_DATA_FOLDER
'use strict';
const fs = require('fs');
const path = require('path');

const [site, data] = process.argv.slice(2);
const createMeridel = require(path.resolve(site, 'meridel.js'));
const { callCli } = require(path.resolve(site, 'app.js'));

// The files are UTF-8 for the few messages beyond ASCII. An empty message sends nothing on
// the page, so there is nothing to refuse.
function rows(file) {
  return fs.readFileSync(path.join(data, file), 'utf8').split('\n')
    .map((text, i) => [`${file}:${i + 1}`, ...text.split('|')])
    .filter(([, mode, message]) => mode && !mode.startsWith('#') && message)
    .map(([where, mode, message, ...rest]) => ({ where, mode, message, expected: rest.join('|') }));
}

function messageArgs({ mode, message }) {
  if (mode.startsWith('JT')) return ['--mode', mode, '--jt-message', message];
  if (mode.startsWith('CW')) return ['--cw-message', message, '--cw-wpm', mode.slice(3) || '20'];
  return [`--${mode.toLowerCase()}-message`, message];
}

// What is wrong with the answer to one row, or null.
function problem(module, row, refusal) {
  const answer = callCli(module, [...messageArgs(row), '--json']);
  // The command line checks a CW speed itself, in its own words.
  if (row.mode.includes('@')) return answer.status !== 0 ? null : 'speed accepted';
  if (answer.status === 2) return `usage error ${answer.stderr.split('\n')[0]}`;
  const object = JSON.parse(Buffer.from(answer.stdout, 'latin1').toString('utf8'));
  if (refusal !== null) {
    if (answer.status !== 1 || object.error?.kind !== 'message') return 'accepted';
    return object.error.message.includes(refusal) ? null : `refused with "${object.error.message}"`;
  }
  const tables = Object.values(object.messages || {});
  if (answer.status !== 0 || tables.length !== 1) return `status ${answer.status}`;
  const t = tables[0];
  const symbols = t.symbols.join(t.mode.startsWith('JT65') || t.mode === 'RTTY' ? ' ' : '');
  return symbols === row.expected ? null : `symbols ${symbols}`;
}

createMeridel().then((module) => {
  const failures = [];
  let checked = 0;
  for (const file of ['jt65.txt', 'jt4.txt', 'wspr.txt', 'worked_examples.txt', 'refusals.txt']) {
    for (const row of rows(file)) {
      const refusal = file === 'refusals.txt' ? row.expected
        : row.expected.startsWith('!') ? '' : null;
      const found = problem(module, row, refusal);
      checked += 1;
      if (found) failures.push(`${row.where} ${row.mode} "${row.message}": ${found}`);
    }
  }
  for (const f of failures.slice(0, 20)) console.error(f);
  console.log(`${checked} messages, ${failures.length} failures`);
  // Guards against a missing or truncated vector file.
  process.exit(failures.length === 0 && checked > 1300 ? 0 : 1);
});
