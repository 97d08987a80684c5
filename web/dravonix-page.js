// The keyboard converter page: takes the keyboard files the user drops or
// picks, has the WebAssembly module (web_exports.cpp) convert, check and
// draw each one, and shows a row per keyboard with its status, its report
// lines, its picture and its XML file to download.
//
// Everything read from a file (names, report lines, error texts) reaches
// the page as text nodes or attribute values only, never as markup; the
// pictures are shown as images, in which nothing runs.
(() => {
  'use strict';

  const element = (id) => document.getElementById(id);
  const page = {
    drop: element('drop'),
    chooseFiles: element('choose-files'),
    chooseFolder: element('choose-folder'),
    files: element('files'),
    folder: element('folder'),
    codePageChoice: element('code-page-choice'),
    codePage: element('code-page'),
    status: element('status'),
    toolbar: element('toolbar'),
    downloadAll: element('download-all'),
    clear: element('clear'),
    table: element('keyboards'),
    rows: element('keyboards').tBodies[0],
  };
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // ---- The WebAssembly module ----------------------------------------

  // The module is compiled once; a new instance replaces one that ended
  // (running out of memory ends it), so one keyboard's failure never stops
  // the others. Each instance has its own in-memory files.
  let compiled = null;
  let module = null;
  let moduleNumber = 0;

  async function startModule() {
    if (module) return module;
    if (!compiled) {
      const response = await fetch('dravonix-web.wasm');
      if (!response.ok) throw new Error(`dravonix-web.wasm: ${response.status} ${response.statusText}`);
      compiled = await WebAssembly.compile(await response.arrayBuffer());
    }
    module = await createDravonixModule({
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(compiled, imports).then((instance) => receive(instance));
        return {};
      },
      print() {},
      printErr() {},
    });
    moduleNumber++;
    return module;
  }

  // Runs action(module); an instance that ends on the way is dropped, and
  // the failure comes back as an Error saying so.
  async function inModule(action) {
    const instance = await startModule();
    try {
      return action(instance);
    } catch (error) {
      module = null;
      throw new Error('the converter ran out of memory or stopped on this file');
    }
  }

  // Copies bytes into the module's memory; the caller frees them.
  function put(instance, bytes) {
    const pointer = instance._malloc(Math.max(bytes.length, 1)) >>> 0;
    if (pointer === 0) throw new Error('out of memory');
    instance.HEAPU8.set(bytes, pointer);
    return pointer;
  }

  const text = (value) => encoder.encode(`${value}\0`);

  // A copy of one part of the module's last outcome (see dravonix_part_data).
  function part(instance, index) {
    const start = instance._dravonix_part_data(index) >>> 0;
    const size = instance._dravonix_part_size(index) >>> 0;
    return instance.HEAPU8.slice(start, start + size);
  }

  // Calls the module's function name with the file's name and bytes, then
  // the other arguments (all text); read(instance, status) takes the outcome.
  function call(instance, name, path, bytes, others, read) {
    const pointers = [put(instance, text(path)), put(instance, bytes)];
    for (const other of others) pointers.push(put(instance, text(other)));
    try {
      const status = instance[`_${name}`](pointers[0], pointers[1], bytes.length, ...pointers.slice(2));
      return read(instance, status);
    } finally {
      instance._dravonix_release();
      for (const pointer of pointers) instance._free(pointer);
    }
  }

  function convert(path, bytes, codePage, mediaFolder) {
    return inModule((instance) => call(instance, 'dravonix_convert', path, bytes,
      [codePage, mediaFolder],
      (m, status) => ({
        status,
        xml: part(m, 0),
        report: decoder.decode(part(m, 1)),
        error: decoder.decode(part(m, 3)),
        panels: m._dravonix_count(0) >>> 0,
        keys: m._dravonix_count(1) >>> 0,
        warnings: m._dravonix_count(4) >>> 0,
      })));
  }

  function draw(path, bytes, imageFolder, codePage) {
    return inModule((instance) => call(instance, 'dravonix_draw', path, bytes,
      [imageFolder, codePage], (m, status) => (status === 0 ? part(m, 2) : null)));
  }

  // ---- Files ---------------------------------------------------------

  const isKbd = (name) => /\.kbd$/i.test(name);
  const isImage = (name) => /\.(jpe?g|png|gif|bmp)$/i.test(name);
  const folderOf = (path) => path.slice(0, Math.max(path.lastIndexOf('/'), 0));

  // Each drop or pick is a batch: its keyboards, and the other files beside
  // them, which the module gets (below /files/BATCH/) before it checks or
  // draws a keyboard: pictures with their bytes, anything else (sounds)
  // empty, as the check only asks whether such a file is there.
  let batchCount = 0;

  function makeBatch(found) {
    const batch = {number: ++batchCount, media: [], writtenIn: 0};
    const keyboards = [];
    for (const {file, path, inFolder} of found) {
      if (isImage(path)) {
        batch.media.push({file, path, image: true});
      } else if (!inFolder || isKbd(path)) {
        keyboards.push({file, path, batch});
      } else {
        batch.media.push({file, path, image: false});
      }
    }
    keyboards.sort((a, b) => (a.path < b.path ? -1 : a.path > b.path ? 1 : 0));
    return keyboards;
  }

  // Puts the batch's other files into the module's files, once per instance.
  async function writeMedia(batch, instance) {
    if (batch.writtenIn === moduleNumber) return;
    instance.FS.mkdirTree(`/files/${batch.number}`);
    for (const {file, path, image} of batch.media) {
      const target = `/files/${batch.number}/${path}`;
      const bytes = image ? new Uint8Array(await file.arrayBuffer()) : new Uint8Array(0);
      instance.FS.mkdirTree(folderOf(target));
      instance.FS.writeFile(target, bytes);
    }
    batch.writtenIn = moduleNumber;
  }
  const mediaFolder = (keyboard) => `/files/${keyboard.batch.number}/${folderOf(keyboard.path)}`;

  // Every file below a dropped folder, with its path from the folder.
  async function walk(entry, found) {
    if (entry.isFile) {
      const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
      found.push({file, path: entry.fullPath.replace(/^\/+/, ''), inFolder: true});
      return;
    }
    const reader = entry.createReader();
    for (;;) {
      const entries = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (entries.length === 0) return;
      for (const child of entries) await walk(child, found);
    }
  }

  // ---- Rows ----------------------------------------------------------

  const keyboards = [];
  const queue = [];
  let running = false;

  function cell(row, content, className, label) {
    const td = row.insertCell();
    if (className) td.className = className;
    if (label) td.dataset.label = label;
    if (content !== undefined) td.textContent = content;
    return td;
  }

  function setStatus(keyboard, status) {
    const badge = keyboard.statusBadge;
    badge.className = `status ${status}`;
    badge.textContent = status;
    keyboard.row.classList.toggle('problem', status === 'warnings' || status === 'failed');
  }

  function addRow(keyboard) {
    const number = keyboards.length;
    const row = page.rows.insertRow();
    row.className = 'keyboard';
    keyboard.row = row;
    keyboard.nameCell = cell(row, keyboard.path, 'name');
    keyboard.statusBadge = document.createElement('span');
    cell(row, undefined, '', 'Status').append(keyboard.statusBadge);
    setStatus(keyboard, 'waiting');
    keyboard.numbers = [cell(row, '', 'n', 'Panels'), cell(row, '', 'n', 'Keys'),
      cell(row, '', 'n', 'Warnings')];
    keyboard.files = cell(row, undefined, 'files');

    const details = page.rows.insertRow();
    details.className = 'details';
    details.id = `details-${number}`;
    details.hidden = true;
    keyboard.details = details;
    const td = details.insertCell();
    td.colSpan = 6;
    keyboard.report = document.createElement('pre');
    keyboard.report.className = 'report';
    keyboard.picture = document.createElement('div');
    keyboard.picture.className = 'picture';
    td.append(keyboard.report, keyboard.picture);
    keyboards.push(keyboard);
  }

  function link(label, blob, fileName, description) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = fileName;
    a.textContent = label;
    a.setAttribute('aria-label', description);
    return a;
  }

  // The name of a keyboard's outputs: "de/pad.kbd" gives "de/pad.xml" and
  // "de/pad.check.txt"; an XML file keeps its name.
  function outputs(path) {
    const stem = path.replace(/\.(kbd|xml)$/i, '');
    return {xml: /\.xml$/i.test(path) ? path : `${stem}.xml`, report: `${stem}.check.txt`,
      picture: `${stem}.svg`};
  }
  const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

  function showResult(keyboard, result) {
    keyboard.result = result;
    const converted = result.status !== 2;
    setStatus(keyboard, ['clean', 'warnings', 'failed'][result.status]);
    keyboard.numbers[0].textContent = converted ? result.panels : '';
    keyboard.numbers[1].textContent = converted ? result.keys : '';
    keyboard.numbers[2].textContent = converted ? result.warnings : '';
    if (result.error) {
      const reason = document.createElement('small');
      reason.textContent = result.error;
      keyboard.nameCell.append(reason);
    }
    keyboard.report.textContent = result.report || result.error;
    const names = outputs(keyboard.path);
    if (converted) {
      keyboard.xmlBlob = new Blob([result.xml], {type: 'application/xml'});
      keyboard.files.append(link('XML', keyboard.xmlBlob, baseName(names.xml),
        `XML file of ${keyboard.path}`), ' ');
    }
    const toggle = document.createElement('button');
    toggle.type = 'button';
    toggle.textContent = converted ? 'Report and picture' : 'Report';
    toggle.setAttribute('aria-expanded', 'false');
    toggle.setAttribute('aria-controls', keyboard.details.id);
    toggle.setAttribute('aria-label', `${toggle.textContent} of ${keyboard.path}`);
    toggle.addEventListener('click', () => toggleDetails(keyboard, toggle));
    keyboard.files.append(toggle);
    keyboard.toggle = toggle;
    applyFilter();
  }

  async function toggleDetails(keyboard, toggle) {
    const open = keyboard.details.hidden;
    keyboard.details.hidden = !open;
    toggle.setAttribute('aria-expanded', String(open));
    if (open && keyboard.result.status !== 2 && !keyboard.drawn) {
      keyboard.drawn = true;
      await showPicture(keyboard);
    }
  }

  async function showPicture(keyboard) {
    const note = document.createElement('p');
    note.textContent = 'Drawing the keyboard…';
    keyboard.picture.replaceChildren(note);
    try {
      const bytes = new Uint8Array(await keyboard.file.arrayBuffer());
      const instance = await startModule();
      await writeMedia(keyboard.batch, instance);
      const start = performance.now();
      const svg = await draw(keyboard.path, bytes, mediaFolder(keyboard), keyboard.codePage);
      performance.measure(`draw ${keyboard.path}`, {start, end: performance.now()});
      if (!svg) {
        note.textContent = 'This keyboard cannot be drawn.';
        return;
      }
      const blob = new Blob([svg], {type: 'image/svg+xml'});
      const image = document.createElement('img');
      image.alt = `Picture of the keyboard ${keyboard.path}`;
      image.src = URL.createObjectURL(blob);
      // The frame scrolls where the picture is wider than the screen, with
      // the keyboard too (arrow keys), so it takes the focus.
      const frame = document.createElement('div');
      frame.className = 'frame';
      frame.tabIndex = 0;
      frame.setAttribute('role', 'group');
      frame.setAttribute('aria-label', `Picture of ${keyboard.path}`);
      frame.append(image);
      note.textContent = '';
      note.append(link('Picture (SVG)', blob, baseName(outputs(keyboard.path).picture),
        `Picture of ${keyboard.path} as an SVG file`));
      keyboard.picture.append(frame);
    } catch (error) {
      note.textContent = `The keyboard cannot be drawn: ${error.message}`;
    }
  }

  function applyFilter() {
    const problemsOnly = document.querySelector('input[name=show]:checked').value === 'problems';
    for (const keyboard of keyboards) {
      const hide = problemsOnly && !keyboard.row.classList.contains('problem');
      const open = keyboard.toggle?.getAttribute('aria-expanded') === 'true';
      keyboard.row.hidden = hide;
      keyboard.details.hidden = hide || !open;
    }
  }

  function summary() {
    const counts = {clean: 0, warnings: 0, failed: 0};
    for (const keyboard of keyboards) {
      if (keyboard.result) counts[['clean', 'warnings', 'failed'][keyboard.result.status]]++;
    }
    const n = keyboards.length;
    return `${n} ${n === 1 ? 'keyboard' : 'keyboards'}: ${counts.clean} clean, ` +
      `${counts.warnings} with warnings, ${counts.failed} failed.`;
  }

  function say(message, isError = false) {
    page.status.textContent = message;
    page.status.classList.toggle('error', isError);
  }

  // ---- Converting ----------------------------------------------------

  function add(found) {
    const batch = makeBatch(found);
    if (batch.length === 0) {
      say(found.length === 0 ? 'No files were given.' :
        'No keyboard files there: a folder is searched for files ending in .kbd.', true);
      return;
    }
    page.table.hidden = false;
    page.toolbar.hidden = false;
    for (const keyboard of batch) {
      keyboard.codePage = page.codePage.value;
      addRow(keyboard);
      queue.push(keyboard);
    }
    if (!running) run();
  }

  async function run() {
    running = true;
    page.downloadAll.disabled = true;
    document.body.dataset.state = 'converting';
    while (queue.length > 0) {
      const keyboard = queue.shift();
      const done = keyboards.length - queue.length;
      say(`Converting ${done} of ${keyboards.length}: ${keyboard.path}`);
      // Lets the page show the line above before the work starts.
      await new Promise((resolve) => setTimeout(resolve, 0));
      let result;
      try {
        const bytes = new Uint8Array(await keyboard.file.arrayBuffer());
        await writeMedia(keyboard.batch, await startModule());
        const start = performance.now();
        result = await convert(keyboard.path, bytes, keyboard.codePage, mediaFolder(keyboard));
        performance.measure(`convert ${keyboard.path}`, {start, end: performance.now()});
      } catch (error) {
        result = {status: 2, error: error.message, report: ''};
      }
      showResult(keyboard, result);
    }
    running = false;
    page.downloadAll.disabled = false;
    say(summary());
    document.body.dataset.state = 'done';
  }

  async function downloadAll() {
    page.downloadAll.disabled = true;
    say('Making the zip file…');
    try {
      const entries = [];
      const taken = new Set();
      // Two files of one name (pad.kbd and pad.xml picked together) both go
      // in, the second as "pad (2).xml".
      const unique = (path) => {
        let candidate = path;
        for (let n = 2; taken.has(candidate); n++) candidate = path.replace(/(\.[^./]*)?$/, ` (${n})$1`);
        taken.add(candidate);
        return candidate;
      };
      for (const keyboard of keyboards) {
        if (!keyboard.result) continue;
        // A backslash is no folder separator where the file came from; in a
        // zip some programs would take it for one.
        const names = outputs(keyboard.path.replace(/\\/g, '_'));
        if (keyboard.xmlBlob) {
          entries.push({path: unique(names.xml),
            data: new Uint8Array(await keyboard.xmlBlob.arrayBuffer())});
        }
        entries.push({path: unique(names.report),
          data: encoder.encode(keyboard.result.report || `${keyboard.result.error}\n`)});
      }
      const zip = await buildZip(entries);
      const a = link('zip', zip, 'keyboards.zip', 'All XML files and reports');
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(a.href), 60000);
      say(summary());
    } catch (error) {
      say(`The zip file could not be made: ${error.message}`, true);
    }
    page.downloadAll.disabled = false;
  }

  function clearList() {
    if (running) queue.length = 0;
    for (const a of page.rows.querySelectorAll('a[href^="blob:"], img[src^="blob:"]')) {
      URL.revokeObjectURL(a.href || a.src);
    }
    keyboards.length = 0;
    page.rows.replaceChildren();
    page.table.hidden = true;
    page.toolbar.hidden = true;
    module = null;  // a new instance starts with empty files
    say('Ready: drop keyboard files or a folder, or choose them.');
  }

  // ---- Wiring --------------------------------------------------------

  function filesOf(input, inFolder) {
    const found = [];
    for (const file of input.files) {
      found.push({file, path: inFolder && file.webkitRelativePath ? file.webkitRelativePath : file.name,
        inFolder});
    }
    input.value = '';
    return found;
  }

  page.chooseFiles.addEventListener('click', () => page.files.click());
  page.chooseFolder.addEventListener('click', () => page.folder.click());
  page.files.addEventListener('change', () => add(filesOf(page.files, false)));
  page.folder.addEventListener('change', () => add(filesOf(page.folder, true)));
  page.downloadAll.addEventListener('click', downloadAll);
  page.clear.addEventListener('click', clearList);
  for (const choice of document.querySelectorAll('input[name=show]')) {
    choice.addEventListener('change', applyFilter);
  }
  page.drop.addEventListener('dragover', (event) => {
    event.preventDefault();
    page.drop.classList.add('over');
  });
  page.drop.addEventListener('dragleave', () => page.drop.classList.remove('over'));
  page.drop.addEventListener('drop', async (event) => {
    event.preventDefault();
    page.drop.classList.remove('over');
    // The dropped items can be read only while the event is handled.
    const dropped = [];
    for (const item of event.dataTransfer.items) {
      if (item.kind === 'file') dropped.push({entry: item.webkitGetAsEntry?.(), file: item.getAsFile()});
    }
    const found = [];
    try {
      for (const {entry, file} of dropped) {
        if (entry && entry.isDirectory) {
          await walk(entry, found);
        } else if (file) {
          found.push({file, path: file.name, inFolder: false});
        }
      }
    } catch (error) {
      say(`The dropped files cannot be read: ${error.message}`, true);
      return;
    }
    add(found);
  });

  // The code pages the converter offers besides its default, if any.
  function offerCodePages(instance) {
    const start = instance._dravonix_code_pages() >>> 0;
    const end = instance.HEAPU8.indexOf(0, start);
    const offered = decoder.decode(instance.HEAPU8.subarray(start, end)).split('\n').filter(Boolean);
    if (offered.length === 0) return;
    page.codePage.append(new Option('Windows-1252 (the default)', ''));
    for (const name of offered) page.codePage.append(new Option(name, name));
    page.codePage.disabled = false;
    page.codePageChoice.hidden = false;
  }

  startModule().then((instance) => {
    offerCodePages(instance);
    page.chooseFiles.disabled = false;
    page.chooseFolder.disabled = false;
    say('Ready: drop keyboard files or a folder, or choose them.');
    document.body.dataset.state = 'ready';
  }, (error) => {
    const fromFile = location.protocol === 'file:';
    say(fromFile ?
      'The converter cannot start from a file opened on this computer: browsers do not let such ' +
      'a page load its converter. Open the page through a web server (README-web.txt says how).' :
      `The converter could not be loaded: ${error.message}`, true);
    document.body.dataset.state = 'failed';
  });
})();
