// The page from outside, in Debian's Chromium driven by playwright-core: served from this
// machine as any static host serves it, and opened from disk as the single file. Each case
// works the page as a user does, with the keyboard where the user can, and reads results back
// from the real clipboard byte for byte.
//
//   node page_test.mjs BUILT_PAGE_DIR [SCREENSHOT_DIR]

import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {createServer} from 'node:http';
import {readFile, mkdtemp, writeFile} from 'node:fs/promises';
import {execFileSync} from 'node:child_process';
import {dirname, extname, join, resolve} from 'node:path';
import {tmpdir} from 'node:os';
import {fileURLToPath} from 'node:url';
import {createRequire} from 'node:module';
import {chromium} from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
const page_dir = resolve(process.argv[2] ?? join(here, '../../build-web'));
const shots = resolve(process.argv[3] ?? page_dir);
const axeSource = await readFile(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
                '.css': 'text/css', '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
                '.webmanifest': 'application/manifest+json'};

// The built page, served on 127.0.0.1 as a static host serves it.
let server, origin, browser;
let served = 0;  // requests the server has answered
before(async () => {
    server = createServer(async (request, response) => {
        ++served;
        const path = new URL(request.url, 'http://x').pathname;
        try {
            const body = await readFile(join(page_dir, path === '/' ? 'index.html' : path));
            response.writeHead(200, {'Content-Type': kTypes[extname(path)] ?? 'text/html'});
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
    origin = `http://127.0.0.1:${server.address().port}`;
    browser = await chromium.launch({
        executablePath: '/usr/bin/chromium',
        args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--no-first-run'],
    });
});
after(async () => {
    await browser?.close();
    server?.close();
});

// A page in a context of its own: `locale` is the page's language, `scale` its device scale.
// Every request the page makes is kept in `requests`.
async function openPage({locale = 'en-US', scale = 1, url, permissions = true} = {}) {
    const context = await browser.newContext({locale, deviceScaleFactor: scale,
                                              viewport: {width: 1280, height: 760}});
    if (permissions) await context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
    const page = await context.newPage();
    const requests = [];
    page.on('request', (r) => requests.push(r.url()));
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(url ?? `${origin}/index.html`);
    await page.waitForSelector('html[data-ready="true"]');
    return {context, page, requests, errors};
}

// Puts `text` on the clipboard as a spreadsheet would.
async function putOnClipboard(page, text) {
    await page.evaluate((t) => navigator.clipboard.writeText(t), text);
}
const readClipboard = (page) => page.evaluate(() => navigator.clipboard.readText());

// Presses Alt+key as the system delivers it, which is how Chromium takes an access key.
async function accessKey(page, key) {
    const cdp = await page.context().newCDPSession(page);
    const code = key.toUpperCase().charCodeAt(0);
    const event = {modifiers: 1, key, code: `Key${key.toUpperCase()}`,
                   windowsVirtualKeyCode: code, nativeVirtualKeyCode: code, isSystemKey: true};
    await cdp.send('Input.dispatchKeyEvent', {type: 'rawKeyDown', ...event});
    await cdp.send('Input.dispatchKeyEvent', {type: 'char', text: key, unmodifiedText: key, ...event});
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...event});
    await cdp.detach();
}

// The open message box: its title, text and buttons, once one shows.
async function messageBox(page) {
    const dialog = page.locator('dialog.message[open]');
    await dialog.waitFor();
    return {
        title: await dialog.locator('h2').textContent(),
        text: await dialog.locator('.message-text').textContent(),
        buttons: await dialog.locator('button').allTextContents(),
        icon: await dialog.locator('.message-icon').count(),
        answer: async (caption) => {
            await dialog.locator('button', {hasText: caption}).click();
            await dialog.waitFor({state: 'detached'});
        },
    };
}

// The texts of the first column of a grid's rows in sight.
const firstCells = (page, grid) => page.locator(`#${grid} .grid-row [aria-colindex="1"]`).allTextContents();

// The first cell of every record of a grid, scrolled through a page at a time.
async function allFirstCells(page, grid) {
    const scroller = page.locator(`#${grid} .grid-scroller`);
    const seen = new Map();
    for (let top = 0; ; top += 50) {
        await scroller.evaluate((e, t) => { e.scrollTop = t; e.dispatchEvent(new Event('scroll')); }, top);
        for (const row of await page.locator(`#${grid} .grid-row`).all()) {
            seen.set(Number(await row.getAttribute('aria-rowindex')),
                     await row.locator('[aria-colindex="1"]').textContent());
        }
        if (await scroller.evaluate((e) => e.scrollTop + e.clientHeight >= e.scrollHeight)) break;
    }
    return [...seen.entries()].sort((a, b) => a[0] - b[0]).map((e) => e[1]);
}
const countOf = (page, label) => page.locator(`#${label}`).textContent();

// Focuses the control `id` with the Tab key alone, from wherever the focus is.
async function tabTo(page, id) {
    for (let i = 0; i < 60; ++i) {
        const at = await page.evaluate(() => {
            const e = document.activeElement;
            return e?.closest('[role="toolbar"]')?.id ?? e?.id;
        });
        if (at === id) return;
        await page.keyboard.press('Tab');
    }
    throw new Error(`Tab never reached ${id}`);
}

// The four results of a comparison on column 1 of each list, as the other windows' test works
// them out.
async function expectedResults(list1, list2) {
    const work = await mkdtemp(join(tmpdir(), 'sorvane-web-'));
    // The awk program reads rows that end in CR LF, as a spreadsheet copies them.
    const rows = (list) => list.replace(/\r?\n$/, '').split(/\r?\n/).map((r) => `${r}\r\n`).join('');
    await writeFile(join(work, 'one.txt'), rows(list1));
    await writeFile(join(work, 'two.txt'), rows(list2));
    execFileSync('awk', ['-v', `out=${work}`, '-f', join(here, '../e2e/expected_results.awk'),
                         join(work, 'two.txt'), join(work, 'one.txt')]);
    const read = async (name) => {
        try { return await readFile(join(work, name), 'utf8'); } catch { return ''; }
    };
    return [await read('matches1.tsv'), await read('matches2.tsv'), await read('notfound1.tsv'),
            await read('notfound2.tsv')];
}

const kList1 = 'Ann\t12\tRome\r\nBob\t7\tParis\r\n <b>Cid</b> \t3\tOslo\r\nAnn\t99\tLima\r\n';
const kList2 = 'Bob\tB\nAnn\tA\nZed\tZ\nann\ta';

test('keyboard only: paste both lists, compare, copy each result byte for byte', async () => {
    const {context, page, requests, errors} = await openPage();
    // The design's tab order from the first chooser on.
    await page.locator('#Combo1_0').focus();
    const order = [];
    for (let i = 0; i < 11; ++i) {
        order.push(await page.evaluate(() => document.activeElement.id));
        await page.keyboard.press('Tab');
    }
    assert.deepEqual(order, ['Combo1_0', 'Combo2_0', 'Combo1_1', 'Combo2_1', 'Combo1_2', 'Combo2_2',
                             'Combo1_3', 'Combo2_3', 'Command1', 'ListView1', 'ListView2']);

    await putOnClipboard(page, kList1);
    await tabTo(page, 'Toolbar1');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.getElementById('Label11').textContent !== '');
    assert.match(await countOf(page, 'Label11'), /4/);

    // List 2 by Ctrl+V on its focused list, first as a paste event that carries its own text,
    // then by the key alone, which reads the clipboard.
    await tabTo(page, 'ListView2');
    await page.evaluate(() => {
        const data = new DataTransfer();
        data.setData('text/plain', 'from\r\nthe event\r\n');
        document.activeElement.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
    });
    await page.waitForFunction(() => document.getElementById('ListView2').ariaRowCount === '3');
    assert.deepEqual(await firstCells(page, 'ListView2'), ['from', 'the event']);
    await putOnClipboard(page, kList2);
    await page.keyboard.press('Control+V');
    await page.waitForFunction(() => document.getElementById('ListView2').ariaRowCount === '5');
    assert.deepEqual(await firstCells(page, 'ListView2'), ['Bob', 'Ann', 'Zed', 'ann']);

    // The chooser is a combobox: Down opens its list of List 1's column numbers on the entry
    // typed, Escape closes it and keeps the text, Alt+Down opens it again, Enter picks.
    await tabTo(page, 'Combo1_0');
    const chooser = page.locator('#Combo1_0');
    const options = page.locator('#Combo1_0-entries [role="option"]');
    const active = () => page.locator('#Combo1_0-entries [aria-selected="true"]').textContent();
    assert.equal(await chooser.getAttribute('role'), 'combobox');
    await page.keyboard.type('2');
    await page.keyboard.press('ArrowDown');
    assert.equal(await chooser.getAttribute('aria-expanded'), 'true');
    assert.deepEqual(await options.allTextContents(), ['1', '2', '3']);
    assert.equal(await active(), '2');
    await page.keyboard.press('ArrowDown');
    assert.equal(await active(), '3');
    await page.keyboard.press('Escape');
    assert.equal(await chooser.getAttribute('aria-expanded'), 'false');
    assert.equal(await chooser.inputValue(), '2');
    await page.keyboard.press('Alt+ArrowDown');
    await page.keyboard.press('ArrowUp');
    assert.equal(await chooser.getAttribute('aria-activedescendant'), 'Combo1_0-entries-0');
    await page.keyboard.press('Enter');
    assert.equal(await chooser.inputValue(), '1');
    assert.equal(await page.locator('#Combo1_0-entries').isHidden(), true);
    await page.keyboard.press('Tab');
    await page.keyboard.type('1');
    await accessKey(page, 'c');
    await page.waitForFunction(() => document.getElementById('Label13').textContent !== '');

    const expected = await expectedResults(kList1, kList2);
    for (const [k, toolbar] of ['Toolbar3', 'Toolbar4', 'Toolbar5', 'Toolbar6'].entries()) {
        await putOnClipboard(page, 'not yet copied');
        await tabTo(page, toolbar);
        await page.keyboard.press('Enter');
        await page.waitForFunction(
            (old) => navigator.clipboard.readText().then((t) => t !== old), 'not yet copied');
        assert.equal(await readClipboard(page), expected[k], `the copy of ${toolbar}`);
    }
    // Plain text stays plain: the angle brackets show.
    assert.ok((await firstCells(page, 'ListView5')).some((c) => c.trim() === '<b>Cid</b>'));

    await page.screenshot({path: join(shots, 'web-screenshot.png')});
    assert.deepEqual(requests.filter((u) => !u.startsWith(origin)), [], 'requests elsewhere');
    assert.deepEqual(errors, []);
    await context.close();
});

test('message boxes: the refusal, the instructions, the error report of a denied read', async () => {
    const {context, page} = await openPage({permissions: false});
    await page.locator('#Command1').click();
    let box = await messageBox(page);
    assert.equal(box.title, 'Sorvane');
    assert.deepEqual(box.buttons, ['OK']);
    assert.equal(box.icon, 1);
    assert.notEqual(box.text, '');
    await box.answer('OK');

    await page.locator('#Command2').click();
    box = await messageBox(page);
    assert.match(box.text, /^Sorvane is free software under the MIT licence/);
    assert.deepEqual(box.buttons, ['OK']);
    await box.answer('OK');

    // Without the permission the browser refuses the read: the error report with its words;
    // Cancel leaves the list as it was, and Retry once it is granted pastes.
    await page.locator('#Toolbar1 button').click();
    box = await messageBox(page);
    assert.deepEqual(box.buttons, ['Retry', 'Cancel']);
    assert.equal(box.icon, 0);
    assert.match(box.text, /^Error:.*\nRetry or Cancel\?$/s);
    await box.answer('Cancel');
    assert.equal(await page.locator('#ListView1 .grid-row').count(), 0);
    assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('Principal')).cursor), 'auto');

    await page.locator('#Toolbar1 button').click();
    box = await messageBox(page);
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
    await putOnClipboard(page, 'x\r\ny\r\n');
    await box.answer('Retry');
    await page.waitForFunction(() => document.querySelectorAll('#ListView1 .grid-row').length === 2);

    // A read refused again after records were pasted, then cancelled: the records stay.
    await context.clearPermissions();
    await page.locator('#Toolbar1 button').click();
    box = await messageBox(page);
    await box.answer('Cancel');
    assert.deepEqual(await firstCells(page, 'ListView1'), ['x', 'y']);
    await context.close();
});

test('header clicks sort as readers of the page\'s language expect', async () => {
    const words = 'Örebro\r\nZakopane\r\nŁódź\r\nlublin\r\nЯна\r\nанна\r\nOslo\r\nÅre\r\nÄrla\r\nZürich\r\n';
    const cases = [
        ['en-US', 'Åre, Ärla, Łódź, lublin, Örebro, Oslo, Zakopane, Zürich, анна, Яна'],
        ['de-DE', 'Åre, Ärla, Łódź, lublin, Örebro, Oslo, Zakopane, Zürich, анна, Яна'],
        ['sv-SE', 'Łódź, lublin, Oslo, Zakopane, Zürich, Åre, Ärla, Örebro, анна, Яна'],
    ];
    for (const [locale, sorted] of cases) {
        const {context, page} = await openPage({locale});
        await putOnClipboard(page, words);
        await page.locator('#Toolbar1 button').click();
        await page.waitForFunction(() => document.getElementById('ListView1').ariaRowCount === '11');
        await page.locator('#ListView1 [role="columnheader"][aria-colindex="1"]').click();
        assert.equal((await allFirstCells(page, 'ListView1')).join(', '), sorted, locale);
        await context.close();
    }
});

test('screenshots at device scale 1 and 2, and an audit before and after a comparison', async () => {
    for (const scale of [1, 2]) {
        const {context, page} = await openPage({scale});
        const audit = async () => {
            await page.addScriptTag({content: axeSource}).catch(() => page.evaluate(axeSource));
            return page.evaluate(() => window.axe.run(document, {
                runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice']},
                // The window's tab order goes to and fro between the two group boxes' choosers,
                // which only positive tab indexes give without taking them out of their boxes.
                rules: {tabindex: {enabled: false}},
            }).then((r) => r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`)));
        };
        if (scale === 1) assert.deepEqual(await audit(), [], 'before a comparison');
        await putOnClipboard(page, kList1);
        await page.locator('#Toolbar1 button').click();
        await page.waitForFunction(() => document.getElementById('Label11').textContent !== '');
        await putOnClipboard(page, kList2);
        await page.locator('#Toolbar2 button').click();
        await page.waitForFunction(() => document.getElementById('Label12').textContent !== '');
        await page.locator('#Combo1_0').fill('1');
        await page.locator('#Combo2_0').fill('1');
        await page.locator('#Command1').click();
        await page.waitForFunction(() => document.getElementById('Label13').textContent !== '');
        await page.screenshot({path: join(shots, `web-screenshot-${scale}x.png`)});
        if (scale === 1) assert.deepEqual(await audit(), [], 'after a comparison');
        await context.close();
    }
});

test('offline: the page once opened works without the server, and the single file from disk', async () => {
    // Opened once, the service worker keeps the page's files; offline, a reload is answered
    // from them alone, and the window works.
    const online = await openPage();
    await online.page.evaluate(() => navigator.serviceWorker.ready);
    await online.context.setOffline(true);
    const before = served;
    await online.page.reload();
    await online.page.waitForSelector('html[data-ready="true"]');
    assert.equal(served, before, 'requests reached the server');
    await putOnClipboard(online.page, 'a\r\nb\r\n');
    await online.page.locator('#Toolbar1 button').click();
    await online.page.waitForFunction(() => document.getElementById('ListView1').ariaRowCount === '3');
    assert.deepEqual(online.errors, []);
    await online.context.close();

    const {context, page, requests, errors} = await openPage({url: `file://${join(page_dir, 'sorvane.html')}`,
                                                             permissions: false});
    assert.equal(await page.locator('#Command1').textContent(), 'Compare');
    assert.ok(await page.locator('#Toolbar1 img').evaluate((i) => i.complete && i.naturalWidth > 0));
    await page.locator('#Command2').click();
    const box = await messageBox(page);
    assert.match(box.text, /^Sorvane is free software/);
    assert.deepEqual(requests.filter((u) => !u.startsWith('file://') && !u.startsWith('data:')), []);
    assert.deepEqual(errors, []);
    await context.close();
});

test('bad input: NUL, invalid text, lone surrogates, many columns, a huge cell, too much for memory', async () => {
    const {context, page, errors} = await openPage();
    const pasteAndCount = async (text) => {
        await page.evaluate((t) => navigator.clipboard.writeText(t), text);
        await page.locator('#Toolbar1 button').click();
        await page.waitForFunction(() => !document.getElementById('Principal').classList.contains('busy'));
    };
    // A NUL and lone surrogates arrive; each surrogate becomes U+FFFD.
    await pasteAndCount('a\0b\t\uD800x\r\n\uDC00\r\n');
    assert.deepEqual(await firstCells(page, 'ListView1'), ['a\0b', '\uFFFD']);
    assert.equal(await page.locator('#ListView1 .grid-row [aria-colindex="2"]').first().textContent(), '\uFFFDx');

    // 100,000 columns: the grid holds only the columns in sight.
    await pasteAndCount(`${Array.from({length: 100000}, (_, i) => String(i)).join('\t')}\r\n`);
    assert.equal(await page.locator('#ListView1').getAttribute('aria-colcount'), '100000');
    assert.ok(await page.locator('#ListView1 [role="gridcell"]').count() < 100);

    // A cell of 100 MB, made in the page and put on the clipboard there, shows its start.
    await page.evaluate((n) => navigator.clipboard.writeText(`${'x'.repeat(n)}\r\n`), 100 * 1024 * 1024);
    await page.locator('#Toolbar1 button').click();
    await page.waitForFunction(() => document.querySelector('#ListView1 .grid-row [aria-colindex="1"]')
        ?.textContent.startsWith('x'));
    assert.equal(await page.locator('#ListView1').getAttribute('aria-rowcount'), '2');
    assert.equal(await page.locator('#ListView1 .grid-row [aria-colindex="1"]').textContent(), 'x'.repeat(1024));

    // A paste too large for the page's memory: a row of 300 million empty cells, whose column
    // numbers alone need more than the 4 GiB that WebAssembly addresses. The out-of-memory
    // report shows, Cancel keeps List 2 as it was, and the page goes on working.
    await putOnClipboard(page, kList2);
    await page.locator('#Toolbar2 button').click();
    await page.waitForFunction(() => document.getElementById('ListView2').ariaRowCount === '5');
    await page.locator('#ListView1').evaluate((grid, n) => {
        const data = new DataTransfer();
        data.setData('text/plain', '\t'.repeat(n));
        grid.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
    }, 300000000);
    const box = await messageBox(page);
    assert.equal(box.text, 'Error: 7 = Out of memory.\nRetry or Cancel?');
    assert.deepEqual(box.buttons, ['Retry', 'Cancel']);
    await box.answer('Cancel');
    assert.deepEqual(await firstCells(page, 'ListView2'), ['Bob', 'Ann', 'Zed', 'ann']);
    await pasteAndCount('small\r\n');
    assert.deepEqual(await firstCells(page, 'ListView1'), ['small']);
    assert.deepEqual(errors, []);
    await context.close();
});

test('a million records scroll, with only the rows in sight in the page', async () => {
    const {context, page, errors} = await openPage();
    await page.evaluate((t) => navigator.clipboard.writeText(t),
                        Array.from({length: 1000000}, (_, i) => `r${i}`).join('\r\n'));
    await page.locator('#Toolbar1 button').click();
    await page.waitForFunction(() => document.getElementById('ListView1').ariaRowCount === '1000001');
    assert.equal(await page.locator('#ListView1').getAttribute('aria-rowcount'), '1000001');
    assert.ok(await page.locator('#ListView1 .grid-row').count() < 200);
    await page.locator('#ListView1 .grid-scroller').evaluate((e) => { e.scrollTop = e.scrollHeight; });
    await page.waitForFunction(() => [...document.querySelectorAll('#ListView1 .grid-row')]
        .some((r) => r.textContent === 'r999999'));
    assert.deepEqual(errors, []);
    await context.close();
});

