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

// The program's DDS chips, the AD9852 first: [{name, listing, multiplier, max_clock_mhz}].
// `listing`: the chip has the PIC listing and runs on the plan's reference times its PLL;
// `multiplier`: the values its own reference multiplier takes, '' when it has none.
const chipTable = (module) => call(module, { chips: true }).chips;

function bytesOf(text) {
  return Uint8Array.from(text, (c) => c.charCodeAt(0));
}

// The listing and symbol files are Windows-1252; the JSON object is UTF-8.
function decodeBytes(text, encoding) {
  return new TextDecoder(encoding).decode(bytesOf(text));
}

// An option in a command-line message, with the placeholder that may follow it ("--clock MHZ").
const optionInText = /(--[a-z][a-z0-9-]*)( (?:MHZ|HZ|N|WPM|CALL|TEXT|NAME|CHIP|BYTES)(?!\w))?/g;

// A command-line message worded as the page's: each option named by the page's field for it
// (`labels`: option to field name), its placeholder dropped.
function nameFields(message, labels) {
  return message.replace(optionInText, (all, option) => labels[option] ?? all);
}

// The messages of the command line's error output (UTF-8 bytes): without the usage text, the
// warnings (shown apart) and the "meridel-cli:" and "error:" prefixes.
function errorMessages(stderr) {
  const lines = [];
  for (const line of decodeBytes(stderr, 'utf-8').split('\n')) {
    if (line.startsWith('usage: ')) break;
    if (line !== '' && !line.startsWith('warning: ')) {
      lines.push(line.replace(/^(?:meridel-cli|error): /, ''));
    }
  }
  return lines.join('\n');
}

// The command line's error output as the page's own message.
const pageError = (stderr, labels) => nameFields(errorMessages(stderr), labels);

// The plan's options in the order the fields were last edited, as the window's typing order
// decides what it shows (RF Mult edited last rounds it, the carrier edited last does not).
// Fields never edited keep the first-start values the program itself starts from.
function planArgs(edits) {
  return edits.flatMap(([option, value]) => [option, value]);
}

// The plan as the chosen chip takes it: the reference and PLL make the clock of the chips with
// the listing only; the others run on their own clock.
function chipPlanArgs(edits, fw) {
  return planArgs(fw.listing ? edits : edits.filter(([o]) => o !== '--ref-in' && o !== '--pll'));
}

// The chips without the listing have only the C header.
const effectiveFormat = (fw) => (fw.listing ? fw.format : 'c');

function firmwareArgs(fw) {
  const args = [];
  if (fw.dds !== 'AD9852') args.push('--dds', fw.dds);
  if (!fw.listing && fw.clock.trim() !== '') args.push('--clock', fw.clock);
  if (fw.multiplier && fw.refMult.trim() !== '') args.push('--ref-mult', fw.refMult);
  if (effectiveFormat(fw) === 'c') args.push('--format', 'c');
  return args;
}

// The download's name: the file name upper-cased as the window writes it, a header's as given.
function downloadName(fileName, format) {
  const name = fileName.trim();
  if (format === 'c') return name || 'beacon.h';
  return (name || 'beacon.inc').toUpperCase();
}

// The fields a message needs besides its text.
const messageCompanions = { '--pi4-message': ['--pi4-audio'], '--cw-message': ['--cw-wpm'] };

// Each message given, as the options that encode it alone: one message that cannot be sent
// leaves the others' symbols.
function messageGroups(messages) {
  const value = new Map(messages);
  return messages.filter(([o, v]) => o.endsWith('-message') && v !== '').map(([o, v]) => [o, v,
    ...(messageCompanions[o] || []).filter((c) => value.has(c)).flatMap((c) => [c, value.get(c)])]);
}

// The symbol tables' assembler include exactly as `meridel-cli --symbol-file` writes it (into
// the module's memory file system), or why it cannot be written, in the page's words.
function symbolFile(module, state) {
  const name = 'SYMBOLS.INC';
  const answer = callCli(module, [...planArgs(state.edits), ...planArgs(state.messages),
    '--symbol-file', name]);
  if (answer.status !== 0) return { error: pageError(answer.stderr, state.labels.messages) };
  const bytes = module.FS.readFile(name);
  module.FS.unlink(name);
  return { name, bytes };
}

// Every message's symbol table, or why it cannot be sent ({errors}: one line each, and the
// options of the fields at fault in `invalid`); the good ones' options for a C header.
function encodeMessages(module, state) {
  const result = { tables: null, errors: [], invalid: [], good: [] };
  for (const group of messageGroups(state.messages)) {
    const answer = callCli(module, [...planArgs(state.edits), ...group, '--json']);
    const object = answer.stdout ? JSON.parse(decodeBytes(answer.stdout, 'utf-8')) : {};
    if (answer.status === 0) {
      result.tables = { ...result.tables, ...object.messages };
      result.good.push(...group);
      continue;
    }
    const raw = object.error ? object.error.message : errorMessages(answer.stderr);
    const error = nameFields(raw, state.labels.messages);
    if (!result.errors.includes(error)) result.errors.push(error);
    // A plan that fails fails every message alike: no message field is at fault then.
    if (object.error && object.error.kind !== 'message') continue;
    const named = group.filter((o, i) => i % 2 === 0 && raw.includes(o));
    result.invalid.push(...(named.length ? named : [group[0]]));
  }
  if (result.tables) result.tables = Object.fromEntries(Object.entries(result.tables).sort());
  return result;
}

// Everything the page shows for one state of its fields.
function compute(module, state) {
  const fw = state.firmware;
  const plan = chipPlanArgs(state.edits, fw);
  const chip = firmwareArgs(fw);
  const listingLabels = { ...state.labels.plan, ...state.labels.chip };
  const view = {};

  const shown = callCli(module, [...plan, ...chip, '--json']);
  view.fields = shown.stdout ? JSON.parse(decodeBytes(shown.stdout, 'utf-8')) : null;
  if (view.fields) {
    view.fields.dds_warnings = (view.fields.dds_warnings || [])
      .map((w) => nameFields(w, listingLabels));
  }

  const encoded = encodeMessages(module, state);
  view.messages = encoded.tables;
  view.messageErrors = encoded.errors.join('\n');
  view.invalid = encoded.invalid;

  // The listing or header exactly as the file would hold it; a C header carries the messages
  // that can be sent.
  const withMessages = effectiveFormat(fw) === 'c' ? encoded.good : [];
  const file = callCli(module, [...plan, ...chip, ...withMessages]);
  view.fileBytes = file.status === 0 ? file.stdout : '';
  view.fileText = decodeBytes(view.fileBytes, 'windows-1252');
  view.errors = pageError(file.stderr.length ? file.stderr : shown.stderr, listingLabels);

  view.decoded = '';
  view.decodeErrors = '';
  if (state.decode.words.trim() !== '') {
    const decoded = callCli(module, ['--decode', state.decode.words, '--clock', state.decode.clock,
      '--dds', state.decode.dds]);
    view.decoded = decodeBytes(decoded.stdout, 'utf-8');
    view.decodeErrors = pageError(decoded.stderr, state.labels.decode);
  }
  return view;
}

if (typeof module !== 'undefined') {
  module.exports = { callCli, adjustCarrier, chipTable, symbolFile, compute, planArgs,
    firmwareArgs, downloadName, bytesOf, pageError };
}

if (typeof document !== 'undefined') {
  const $ = (id) => document.getElementById(id);
  const edits = [];      // [option, value] of the plan's edited fields, oldest edit first
  const messages = [];   // the same for the message fields
  let engine = null;
  let chips = [];
  let current = null;
  let chosenFormat = $('format').value;  // kept while a chip without the listing is chosen

  const remember = (list, option, value) => {
    const at = list.findIndex(([o]) => o === option);
    if (at >= 0) list.splice(at, 1);
    list.push([option, value]);
  };

  // Each section's options named by their fields' labels (without a closing remark in
  // brackets), for the messages the page shows.
  const labelsOf = (section) => Object.fromEntries([...$(section).querySelectorAll('[data-option]')]
    .map((e) => [e.dataset.option,
      e.closest('label').firstChild.textContent.trim().replace(/\s*\([^)]*\)$/, '')]));
  const labels = {
    plan: labelsOf('plan-section'),
    chip: labelsOf('listing-section'),
    messages: { ...labelsOf('plan-section'), ...labelsOf('messages-section') },
    decode: labelsOf('decode-section'),
  };

  const chipOf = (name) => chips.find((c) => c.name === name) || { listing: true, multiplier: '' };

  const state = () => {
    const chip = chipOf($('dds').value);
    return {
      edits,
      messages,
      labels,
      firmware: { dds: $('dds').value, listing: chip.listing, multiplier: chip.multiplier,
        clock: $('clock').value, refMult: $('ref-mult').value, format: $('format').value },
      decode: { words: $('decode-words').value, clock: $('decode-clock').value,
        dds: $('decode-dds').value },
    };
  };

  // The chip's own fields: a clock and multiplier where it has them, the listing where it has
  // one (the format shows what is shown and downloaded).
  const showChip = () => {
    const chip = chipOf($('dds').value);
    $('clock').disabled = chip.listing;
    $('clock').placeholder = chip.listing ? '' : `at most ${chip.max_clock_mhz}`;
    $('ref-mult').disabled = !chip.multiplier;
    $('ref-mult').placeholder = chip.multiplier ? `${chip.multiplier}; empty for none` : '';
    $('format').querySelector('option[value="asm"]').disabled = !chip.listing;
    $('format').value = chip.listing ? chosenFormat : 'c';
    $('download-symbols').disabled = $('format').value === 'c';
  };

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
    $('errors').textContent = current.errors;
    $('listing').textContent = current.fileText.replace(/\r\n/g, '\n');
    $('message-errors').textContent = current.messageErrors;
    for (const e of $('messages-section').querySelectorAll('[data-option]')) {
      if (current.invalid.includes(e.dataset.option)) e.setAttribute('aria-invalid', 'true');
      else e.removeAttribute('aria-invalid');
    }
    showSymbols(current.messages);
    $('decoded').textContent = current.decoded;
    $('decode-errors').textContent = current.decodeErrors;
  };

  for (const [section, list] of [['plan-section', edits], ['messages-section', messages]]) {
    for (const element of $(section).querySelectorAll('[data-option]')) {
      element.addEventListener('input', () => {
        remember(list, element.dataset.option, element.value);
        refresh();
      });
    }
  }
  $('dds').addEventListener('input', () => { showChip(); refresh(); });
  $('format').addEventListener('input', () => {
    chosenFormat = $('format').value;
    showChip();
    refresh();
  });
  for (const id of ['clock', 'ref-mult', 'decode-words', 'decode-clock', 'decode-dds']) {
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
    chips = chipTable(engine);
    for (const id of ['dds', 'decode-dds']) {
      $(id).replaceChildren(...chips.map((c) => new Option(c.name)));
    }
    showChip();
    refresh();
    // Milliseconds from the start of the page's navigation to its first listing (benchmark).
    document.body.dataset.firstResultMs = performance.now().toFixed(1);
    document.body.dataset.ready = 'true';
  });
}
