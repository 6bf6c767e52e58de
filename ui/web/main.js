// The page: loads the core, builds the window, and turns the user's events into the core's
// commands; what a command changed is drawn from what the core holds.

import loadSorvane from './sorvane.mjs';
import {buildWindow, Kind} from './window.js';
import {RecordGrid} from './grid.js';
import {ColumnChooser} from './combobox.js';
import {showMessageBox} from './dialogs.js';
import {pasteRecords, pasteText, copyRecords, measured} from './clipboard.js';

const Command = {None: 0, Compare: 1, Instructions: 2, Paste: 3, Copy: 4};
const kListCount = 6;

// A browser too old for the engine's WebAssembly (its SIMD operations) says so in the page,
// rather than leaving it blank.
const engine = await loadSorvane().catch((error) => {
    const why = document.createElement('p');
    why.textContent = 'Sorvane cannot start in this browser. It needs a browser that runs ' +
        'WebAssembly with SIMD: Chrome or Edge 91, Firefox 89, Safari 16.4 or later.';
    document.body.append(why);
    throw error;
});
const form = engine.form();
const root = document.getElementById('Principal');
document.title = form.windowCaption;
const elements = buildWindow(root, form, (w, h) => engine.layOut(w, h));
const byKindAndList = (kind, list) =>
    form.controls.find((c) => c.kind === kind && c.list === list);
const choosers = form.controls.filter((c) => c.kind === Kind.ComboBox)  // Combo1_0 .. Combo2_3
    .map((c) => new ColumnChooser(elements[c.index], elements[c.index].parentElement));

let busy = 0;
const page = {
    setPointer(isBusy) { root.classList.toggle('busy', isBusy); },
    showChanges(lists, counts, sides) {
        for (const id of lists) grids[id].refill();
        for (const id of counts) {
            const label = elements[byKindAndList(Kind.Label, id).index];
            const count = session.countLabel(id);
            label.textContent = count;
            label.setAttribute('aria-label', engine.countName(id, count));
        }
        for (const side of sides) {
            const entries = session.chooserEntries(side);
            for (const chooser of choosers.slice(4 * side, 4 * side + 4)) chooser.setEntries(entries);
        }
    },
    showMessage(kind, text) { showMessageBox(engine.messageDesign(kind), text); },
    chooserTexts() { return choosers.map((c) => c.input.value); },
};
const language = navigator.language || '';
const grouping = (1000).toLocaleString(language).replace(/\d/g, '') || ',';
const session = new engine.Session(page, grouping, language);

const grids = [];
for (let id = 0; id < kListCount; ++id) {
    const control = byKindAndList(Kind.ListView, id);
    grids[id] = new RecordGrid(elements[control.index], {
        count: () => session.recordCount(id),
        columns: () => session.columnCount(id),
        cells: (from, to, first, last) => session.cells(id, from, to, first, last),
        caption: (column) => engine.columnCaption(column),
        find: (typed, focused) => session.findTyped(id, typed, focused),
    }, form.columnWidth / 15, (column) => measured('sort', () => session.headerClicked(id, column)));
}

const askRetry = async (report) =>
    (await showMessageBox(engine.messageDesign(1), report)) === 'retry';

// A toolbar command shows the busy pointer until the browser's clipboard has answered too.
async function toolbarCommand(work) {
    if (busy++ === 0) page.setPointer(true);
    try {
        await work();
    } finally {
        if (--busy === 0) page.setPointer(false);
    }
}

// After a paste, while the user picks the columns, the memory Compare will take is brought into
// use a few megabytes at a time whenever the browser is idle (see Session.prepareCompare).
const whenIdle = window.requestIdleCallback ?? ((work) => setTimeout(work, 50));
const prepareCompare = () => {
    if (!busy && session.prepareCompare(4 << 20)) whenIdle(prepareCompare);
};

const paste = async (list, given) => {
    await toolbarCommand(() => pasteRecords(engine, session, list, askRetry, given));
    whenIdle(prepareCompare);
};

for (const control of form.controls) {
    const element = elements[control.index];
    const button = control.kind === Kind.Toolbar ? element.querySelector('button') : element;
    if (control.command === Command.Paste) {
        button.addEventListener('click', () => paste(control.list));
    } else if (control.command === Command.Copy) {
        button.addEventListener('click', () => toolbarCommand(() => copyRecords(session, control.list, askRetry)));
    } else if (control.command !== Command.None) {
        button.addEventListener('click', () => measured(control.caption.replace('&', ''), () => session.press(control.index)));
    }
    // Ctrl+V (⌘V) on an input list or its toolbar pastes into that list: the text the paste
    // event carries, which needs no permission. Where the browser sends no paste event to an
    // element that is not editable, the key itself reads the clipboard as the button does.
    if ((control.kind === Kind.ListView || control.kind === Kind.Toolbar) && control.list !== null &&
        control.list < 2) {
        let pasted = false;
        element.addEventListener('paste', (e) => {
            pasted = true;
            e.preventDefault();
            paste(control.list, e.clipboardData.getData('text/plain'));
        });
        element.addEventListener('keydown', (e) => {
            if (!(e.ctrlKey || e.metaKey) || e.altKey || e.key.toLowerCase() !== 'v') return;
            pasted = false;
            setTimeout(() => { if (!pasted) paste(control.list); }, 0);
        });
    }
}
// Served over HTTP, the page keeps its files for working offline and can be installed; opened
// from disk, as the single file, it needs neither.
if ('serviceWorker' in navigator && location.protocol.startsWith('http')) {
    navigator.serviceWorker.register('service_worker.js').catch(() => {});
}
root.hidden = false;
document.documentElement.dataset.ready = 'true';

// The browser compiles WebAssembly quickly first, and fully only for code that has run a while;
// a loop that runs once, as a paste's reading of a million records does, would end in the quick
// code. So, once the window shows, a small comparison runs out of sight, on a session of its
// own, which brings the engine's busy code to its full speed before the user's first command.
setTimeout(() => measured('warm-up', () => {
    const compare = form.controls.find((c) => c.command === Command.Compare);
    const unseen = new engine.Session({
        setPointer() {}, showChanges() {}, showMessage() {},
        chooserTexts: () => ['1', '', '', '', '1', '', '', ''],
    }, grouping, language);
    const words = ['alpha', 'Bravo', 'charlie', 'Delta'];
    for (const side of [0, 1]) {
        const rows = Array.from({length: 4000}, (_, i) => `K${(i * 7919 + side * 1000) % 5000}\t` +
                                `${i * 104729 % 100000}\t${i % 1000}.${i % 90 + 10}\t${words[i % 4]}\r\n`);
        pasteText(engine, unseen, side, rows.join(''));
    }
    unseen.press(compare.index);
    for (const column of [0, 1, 3]) unseen.headerClicked(0, column);
    for (let id = 2; id < kListCount; ++id) unseen.copy(id);
    unseen.delete();
}), 0);
