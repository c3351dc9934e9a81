// The page's module and call path under Node over the message vector files: every message
// encodes to the reference symbols, or is refused where the native encoder refuses it.
// Usage: node vectors_test.js SITE_FOLDER MODES_DATA_FOLDER
'use strict';
const fs = require('fs');
const path = require('path');

const [site, data] = process.argv.slice(2);
const createMeridel = require(path.resolve(site, 'meridel.js'));
const { callCli } = require(path.resolve(site, 'app.js'));

function rows(file) {
  return fs.readFileSync(path.join(data, file), 'latin1').split('\n')
    .map((text, i) => [text, i + 1])
    .filter(([text]) => text !== '' && !text.startsWith('#'))
    .map(([text, line]) => {
      const [mode, message, ...rest] = text.split('|');
      return { file, line, mode, message, expected: rest.join('|') };
    });
}

function messageArgs({ mode, message }) {
  if (mode.startsWith('JT')) return ['--mode', mode, '--jt-message', message];
  if (mode.startsWith('CW')) {
    return ['--cw-message', message, '--cw-wpm', mode === 'CW' ? '20' : mode.slice(3)];
  }
  return [`--${mode.toLowerCase()}-message`, message];
}

function spelled(table) {
  const numbers = table.mode.startsWith('JT65') || table.mode === 'RTTY';
  return table.symbols.join(numbers ? ' ' : '');
}

createMeridel().then((module) => {
  const failures = [];
  let checked = 0;
  // The vector files hold UTF-8 for the few messages with characters beyond ASCII.
  const text = (s) => Buffer.from(s, 'latin1').toString('utf8');
  for (const file of ['jt65.txt', 'jt4.txt', 'wspr.txt', 'worked_examples.txt', 'refusals.txt']) {
    for (const row of rows(file)) {
      // An empty field sends nothing on the page, so there is nothing to refuse.
      if (row.message === '') continue;
      const answer = callCli(module, [...messageArgs({ ...row, message: text(row.message) }), '--json']);
      // The command line checks a CW speed itself, in its own words.
      const speedRefusal = file === 'refusals.txt' && row.mode.includes('@');
      if (speedRefusal) {
        if (answer.status === 0) failures.push(`${row.file}:${row.line}: speed accepted`);
        checked += 1;
        continue;
      }
      if (answer.status === 2) {
        failures.push(`${row.file}:${row.line}: usage error ${answer.stderr.split('\n')[0]}`);
        continue;
      }
      const object = JSON.parse(Buffer.from(answer.stdout, 'latin1').toString('utf8'));
      const tables = Object.values(object.messages || {});
      let problem = null;
      if (file === 'refusals.txt' || row.expected.startsWith('!')) {
        const want = file === 'refusals.txt' ? text(row.expected) : '';
        if (answer.status !== 1 || !object.error || object.error.kind !== 'message') {
          problem = `accepted, status ${answer.status}`;
        } else if (!object.error.message.includes(want)) {
          problem = `refused with "${object.error.message}"`;
        }
      } else if (answer.status !== 0 || tables.length !== 1) {
        problem = `status ${answer.status}: ${object.error && object.error.message}`;
      } else if (spelled(tables[0]) !== row.expected) {
        problem = `symbols ${spelled(tables[0])}`;
      }
      checked += 1;
      if (problem) failures.push(`${row.file}:${row.line} ${row.mode} "${row.message}": ${problem}`);
    }
  }
  for (const f of failures.slice(0, 20)) console.error(f);
  console.log(`${checked} messages, ${failures.length} failures`);
  // Guards against a missing or truncated vector file.
  process.exit(failures.length === 0 && checked > 1300 ? 0 : 1);
});
