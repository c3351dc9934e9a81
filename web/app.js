// The page over the WebAssembly module: every result comes from meridel-cli's own entry
// (runCli) through one JSON call; this script only builds argument lists and shows answers.
'use strict';

// One request to the module's single entry, answered as an object.
function call(module, request) {
  const pointer = module.ccall('meridel_call', 'number', ['string'], [JSON.stringify(request)]);
  const answer = JSON.parse(module.UTF8ToString(pointer));
  module._meridel_free(pointer);
  return answer;
}

// One call of meridel-cli: `args` without the program name. Answers {status, stdout, stderr};
// the output texts hold one character per byte (U+0000..U+00FF).
const callCli = (module, args) => call(module, args);

// The window's "Adjust carrier for this freq" on the field texts {output, tone, key_freq}:
// the carrier text the window model gives.
const adjustCarrier = (module, fields) => call(module, { adjust_carrier: fields }).output;

// The symbol tables' assembler include exactly as `meridel-cli --symbol-file` writes it (into
// the module's memory file system), or the command line's error (its first line, without the
// usage text that follows a usage error).
function symbolFile(module, state) {
  const name = 'SYMBOLS.INC';
  const answer = callCli(module, [...planArgs(state.edits), ...firmwareArgs(state.firmware),
    ...planArgs(state.messages), '--symbol-file', name]);
  if (answer.status !== 0) return { error: decodeBytes(answer.stderr, 'utf-8').split('\n')[0] };
  const bytes = module.FS.readFile(name);
  module.FS.unlink(name);
  return { name, bytes };
}

function bytesOf(text) {
  return Uint8Array.from(text, (c) => c.charCodeAt(0));
}

// The listing and symbol files are Windows-1252; the JSON object is UTF-8.
function decodeBytes(text, encoding) {
  return new TextDecoder(encoding).decode(bytesOf(text));
}

// The plan's options in the order the fields were last edited, as the window's typing order
// decides what it shows (RF Mult edited last rounds it, the carrier edited last does not).
// Fields never edited keep the first-start values the program itself starts from.
function planArgs(edits) {
  return edits.flatMap(([option, value]) => [option, value]);
}

function firmwareArgs(fw) {
  const args = [];
  if (fw.dds !== 'AD9852') args.push('--dds', fw.dds);
  if (fw.clock.trim() !== '') args.push('--clock', fw.clock);
  if (fw.refMult.trim() !== '') args.push('--ref-mult', fw.refMult);
  if (fw.format === 'c') args.push('--format', 'c');
  return args;
}

// The download's name: the file name upper-cased as the window writes it, a header's as given.
function downloadName(fileName, format) {
  const name = fileName.trim();
  if (format === 'c') return name || 'beacon.h';
  return (name || 'beacon.inc').toUpperCase();
}

// Everything the page shows for one state of its fields.
function compute(module, state) {
  const plan = planArgs(state.edits);
  const fw = firmwareArgs(state.firmware);
  const messages = planArgs(state.messages);
  const anyMessage = state.messages.some(([o, v]) => o.endsWith('-message') && v !== '');
  const view = {};

  const shown = callCli(module, [...plan, ...fw, '--json']);
  view.fields = shown.stdout ? JSON.parse(decodeBytes(shown.stdout, 'utf-8')) : null;
  // The listing or header exactly as the file would hold it; a C header carries the messages.
  const withMessages = state.firmware.format === 'c' && anyMessage ? messages : [];
  const file = callCli(module, [...plan, ...fw, ...withMessages]);
  view.fileBytes = file.status === 0 ? file.stdout : '';
  view.fileText = decodeBytes(view.fileBytes, 'windows-1252');
  view.errors = file.stderr.length ? decodeBytes(file.stderr, 'utf-8') : shown.stderr;

  view.messages = null;
  view.messageErrors = '';
  if (anyMessage) {
    const encoded = callCli(module, [...plan, ...messages, '--json']);
    const object = JSON.parse(decodeBytes(encoded.stdout, 'utf-8'));
    view.messages = object.messages || null;
    if (object.error) view.messageErrors = object.error.message;
    else if (encoded.status !== 0) view.messageErrors = decodeBytes(encoded.stderr, 'utf-8');
  }

  view.decoded = '';
  view.decodeErrors = '';
  if (state.decode.words.trim() !== '') {
    const decoded = callCli(module, ['--decode', state.decode.words, '--clock', state.decode.clock,
      '--dds', state.decode.dds]);
    view.decoded = decodeBytes(decoded.stdout, 'utf-8');
    view.decodeErrors = decodeBytes(decoded.stderr, 'utf-8');
  }
  return view;
}

if (typeof module !== 'undefined') {
  module.exports = { callCli, adjustCarrier, symbolFile, compute, planArgs, firmwareArgs,
    downloadName, bytesOf };
}

if (typeof document !== 'undefined') {
  const $ = (id) => document.getElementById(id);
  const edits = [];      // [option, value] of the plan's edited fields, oldest edit first
  const messages = [];   // the same for the message fields
  let engine = null;
  let current = null;

  const remember = (list, option, value) => {
    const at = list.findIndex(([o]) => o === option);
    if (at >= 0) list.splice(at, 1);
    list.push([option, value]);
  };

  const state = () => ({
    edits,
    messages,
    firmware: { dds: $('dds').value, clock: $('clock').value, refMult: $('ref-mult').value,
      format: $('format').value },
    decode: { words: $('decode-words').value, clock: $('decode-clock').value,
      dds: $('decode-dds').value },
  });

  const showSymbols = (tables) => {
    const box = $('symbols');
    box.replaceChildren();
    for (const [key, t] of Object.entries(tables || {})) {
      const h = document.createElement('h3');
      h.textContent = `${t.mode} "${t.text}": ${t.symbols.length} symbols of ` +
        `${(t.symbol_seconds * 1000).toPrecision(6)} ms from ${t.base_word}`;
      h.style.fontSize = '.9rem';
      const p = document.createElement('p');
      p.className = 'symbols';
      p.id = `symbols-${key}`;
      p.textContent = t.symbols.join(' ');
      box.append(h, p);
    }
  };

  const refresh = () => {
    if (!engine) return;
    current = compute(engine, state());
    const f = current.fields || {};
    $('clock-freq').value = f.ClockFreq ?? '';
    $('fo').value = f.Fo ?? '';
    $('key-freq').value = f.KeyFreq ?? '';
    $('set-carr').disabled = true;
    $('warning').textContent = [f.warning, ...(f.dds_warnings || [])].filter(Boolean).join('\n');
    $('errors').textContent = current.errors.replace(/^warning: .*\n/gm, '');
    $('listing').textContent = current.fileText.replace(/\r\n/g, '\n');
    $('message-errors').textContent = current.messageErrors;
    showSymbols(current.messages);
    $('decoded').textContent = current.decoded;
    $('decode-errors').textContent = current.decodeErrors;
  };

  for (const element of document.querySelectorAll('[data-option]')) {
    const list = element.id.endsWith('-message') || element.id.startsWith('pi4') ||
      element.id.startsWith('cw') ? messages : edits;
    element.addEventListener('input', () => {
      remember(list, element.dataset.option, element.value);
      refresh();
    });
  }
  for (const id of ['dds', 'clock', 'ref-mult', 'format', 'decode-words', 'decode-clock',
    'decode-dds']) {
    $(id).addEventListener('input', refresh);
  }

  $('copy').addEventListener('click', () => {
    if (current) navigator.clipboard.writeText(current.fileText);
  });
  const download = (bytes, name) => {
    const blob = new Blob([bytes], { type: 'application/octet-stream' });
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  };
  $('download').addEventListener('click', () => {
    if (current && current.fileBytes) {
      download(bytesOf(current.fileBytes), downloadName($('file-name').value, $('format').value));
    }
  });
  $('download-symbols').addEventListener('click', () => {
    if (!engine) return;
    const file = symbolFile(engine, state());
    $('message-errors').textContent = file.error || '';
    if (file.bytes) download(file.bytes, file.name);
  });

  // As in the window: typing a keying frequency enables the adjuster, a new result disables it.
  $('key-freq').addEventListener('input', () => { $('set-carr').disabled = false; });
  $('set-carr').addEventListener('click', () => {
    if (!engine) return;
    const output = adjustCarrier(engine, { output: $('output').value, tone: $('tone').value,
      key_freq: $('key-freq').value });
    $('output').value = output;
    remember(edits, '--output', output);
    refresh();
    $('output').focus();
  });

  createMeridel().then((instance) => {
    engine = instance;
    performance.mark('meridel-module-ready');
    refresh();
    // Milliseconds from the start of the page's navigation to its first listing (benchmark).
    document.body.dataset.firstResultMs = performance.now().toFixed(1);
    document.body.dataset.ready = 'true';
  });
}
