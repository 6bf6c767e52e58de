// Times the page in Debian's headless Chromium on two large lists, with the native headless
// tool on the same lists in the same run as the yardstick, and prints min / median / max of
// every figure over the runs. Each run opens the page afresh from a server on 127.0.0.1 and
// works it as a user does: both lists pasted through the real clipboard, Compare, a header sort
// of a column of numbers, a scroll through the million records, each result copied back; then a
// column of a million distinct codes pasted and sorted, against Array.prototype.sort with the
// browser's own collator on the same codes in the same page.
//
//   node bench/web_bench.mjs PAGE_DIR LIST1 LIST2 SORVANE_BENCH [RUNS]
//
// The page marks its own work in the browser's performance timeline ("Sorvane: ..." measures);
// the bench reads those, and times from outside what a user waits for: from the moment the
// browser has handed over the clipboard's text, or the click, to the first frame that shows the
// result.

import {createServer} from 'node:http';
import {createHash} from 'node:crypto';
import {execFileSync} from 'node:child_process';
import {readFileSync, readdirSync, statSync, mkdtempSync, rmSync} from 'node:fs';
import {dirname, extname, join, resolve} from 'node:path';
import {tmpdir} from 'node:os';
import {fileURLToPath} from 'node:url';
import {createRequire} from 'node:module';
import {gzipSync, brotliCompressSync, constants as zlib} from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
// playwright-core as the page's tests pin it.
const {chromium} = createRequire(join(here, '../tests/web/package.json'))('playwright-core');

const [pageDir, list1, list2, nativeBench, runsArg] = process.argv.slice(2);
if (!nativeBench) {
    console.error('usage: node web_bench.mjs PAGE_DIR LIST1 LIST2 SORVANE_BENCH [RUNS]');
    process.exit(64);
}
const runs = Number(runsArg ?? 5);
const kCodes = Number(process.env.BENCH_CODES ?? 1000000);
// What the bench is doing, on standard error, to tell where a slow step is.
const say = (step) => process.stderr.write(`  ${step}\n`);

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
                '.css': 'text/css', '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
                '.webmanifest': 'application/manifest+json'};

// The page's own files, and the two lists under /bench/, which only the bench asks for.
const lists = {'/bench/list1': resolve(list1), '/bench/list2': resolve(list2)};
const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://x').pathname;
    try {
        const file = lists[path] ?? join(pageDir, path === '/' ? 'index.html' : path);
        const body = readFileSync(file);
        response.writeHead(200, {'Content-Type': kTypes[extname(file)] ?? 'text/plain'});
        response.end(body);
    } catch {
        response.writeHead(404).end();
    }
});
await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
const origin = `http://127.0.0.1:${server.address().port}`;

// What the bench keeps an eye on inside the page, set up before the page's own scripts run: the
// WebAssembly memory the page makes, when the clipboard hands over its text, when the page
// hands a copy's text to the clipboard, and when the window became usable.
function watchPage() {
    const seen = window.benchSeen = {memories: [], handedAt: 0, written: [], readyAt: 0};
    const keepMemory = (result) => {
        const instance = result.instance ?? result;
        for (const value of Object.values(instance.exports)) {
            if (value instanceof WebAssembly.Memory) seen.memories.push(value);
        }
        return result;
    };
    const instantiate = WebAssembly.instantiate, streaming = WebAssembly.instantiateStreaming;
    WebAssembly.instantiate = (...a) => instantiate(...a).then(keepMemory);
    WebAssembly.instantiateStreaming = (...a) => streaming(...a).then(keepMemory);
    new MutationObserver(() => {
        if (!seen.readyAt && document.documentElement.dataset.ready) seen.readyAt = performance.now();
    }).observe(document, {attributes: true, subtree: true, attributeFilter: ['data-ready']});
    const clipboard = navigator.clipboard;
    const readText = clipboard.readText.bind(clipboard);
    const writeText = clipboard.writeText.bind(clipboard);
    clipboard.readText = () => readText().then((text) => { seen.handedAt = performance.now(); return text; });
    clipboard.writeText = (text) => {
        seen.written.push({at: performance.now(), text});
        return writeText(text);
    };
    // Resolves with the time at the end of the first frame drawn from now on.
    window.benchAfterFrame = () => new Promise((done) => requestAnimationFrame(() => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => done(performance.now());
        channel.port2.postMessage(0);
    }));
    window.benchMemory = () => ({
        wasm: seen.memories.reduce((sum, m) => sum + m.buffer.byteLength, 0),
        heap: performance.memory.usedJSHeapSize,
    });
}

// The renderer's resident memory, read from /proc as often as the bench can while a run goes
// on: the tab's true peak, whatever the page's own figures leave out.
function rendererPeak() {
    let peak = 0;
    const timer = setInterval(() => {
        for (const pid of readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
            try {
                const command = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
                if (!command.includes('--type=renderer')) continue;
                const rss = /VmRSS:\s+(\d+) kB/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'));
                if (rss) peak = Math.max(peak, Number(rss[1]) * 1024);
            } catch { /* the process ended */ }
        }
    }, 20);
    return () => { clearInterval(timer); return peak; };
}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

// One run of the native tool: its phases, and the hashes of the four result lists.
function nativeRun() {
    const out = mkdtempSync(join(tmpdir(), 'sorvane-bench-'));
    try {
        const printed = execFileSync(nativeBench, [list1, list2, '-c', '1:1', '--out', out], {encoding: 'utf8'});
        const figures = {};
        for (const [, name, value] of printed.matchAll(/(\w+)_ms=([\d.]+)/g)) figures[name] = Number(value);
        figures.peak_rss = Number(/peak_rss_mb=([\d.]+)/.exec(printed)[1]) * 1048576;
        figures.hashes = ['matches1', 'matches2', 'notfound1', 'notfound2']
            .map((n) => sha256(readFileSync(join(out, `${n}.tsv`))));
        return figures;
    } finally {
        rmSync(out, {recursive: true, force: true});
    }
}

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run',
           '--enable-precise-memory-info', '--js-flags=--expose-gc'],
});

// One run of the page. Returns its figures in milliseconds and bytes.
async function pageRun() {
    const context = await browser.newContext({locale: 'en-US', viewport: {width: 1280, height: 760}});
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
    const page = await context.newPage();
    await page.addInitScript(watchPage);
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    page.on('crash', () => errors.push('the tab crashed'));
    const figures = {};
    const stopPeak = rendererPeak();
    let heapPeak = 0;
    const sampleHeap = async () => {
        heapPeak = Math.max(heapPeak, await page.evaluate(() => window.benchMemory().heap));
    };

    say('load');
    await page.goto(`${origin}/index.html`);
    await page.waitForSelector('html[data-ready="true"]');
    figures.load = await page.evaluate(() => window.benchSeen.readyAt);
    // The page then brings its engine's code to full speed, out of sight but on the same thread.
    await page.waitForFunction(() => performance.getEntriesByName('Sorvane: warm-up').length > 0);
    figures.warm_up = await page.evaluate(() => performance.getEntriesByName('Sorvane: warm-up')[0].duration);

    // A paste through the toolbar button: the page's own work from the moment the clipboard
    // handed over the text to the first frame with the count shown.
    // The bench's own copy of the text is garbage once the clipboard holds it, and is collected
    // first, so that the page's heap figures are the page's.
    const paste = async (toolbar, source) => {
        await page.evaluate(async (source) => {
            const text = source.startsWith('/') ? await (await fetch(source)).text() : window[source];
            await navigator.clipboard.writeText(text);
        }, source);
        await page.evaluate(() => window.gc());
        return clickPaste(toolbar);
    };
    const clickPaste = (toolbar) => page.evaluate(async (toolbar) => {
        performance.clearMeasures();
        const clickedAt = performance.now();
        document.querySelector(`#${toolbar} button`).click();
        for (;;) {
            const end = await window.benchAfterFrame();
            const box = document.querySelector('dialog[open]');
            if (box) throw new Error(`the paste reported: ${box.textContent}`);
            const busy = document.getElementById('Principal').classList.contains('busy');
            if (window.benchSeen.handedAt > clickedAt && !busy) {
                const own = (name) => performance.getEntriesByName(name).reduce((s, e) => s + e.duration, 0);
                return {own: end - window.benchSeen.handedAt, handOver: window.benchSeen.handedAt - clickedAt,
                        intoMemory: own('Sorvane: text into WebAssembly'),
                        core: own('Sorvane: paste')};
            }
        }
    }, toolbar);
    // A click that runs at once: from the click to the first frame that shows what it did.
    const click = (selector) => page.evaluate(async (selector) => {
        performance.clearMeasures();
        const start = performance.now();
        document.querySelector(selector).click();
        const end = await window.benchAfterFrame();
        const core = performance.getEntriesByType('measure').reduce((s, e) => s + e.duration, 0);
        return {own: end - start, core};
    }, selector);

    for (const [k, toolbar] of [[1, 'Toolbar1'], [2, 'Toolbar2']]) {
        say(`paste ${k}`);
        const p = await paste(toolbar, `/bench/list${k}`);
        figures[`paste${k}`] = p.own;
        figures[`paste${k}_hand_over`] = p.handOver;
        figures[`paste${k}_into_memory`] = p.intoMemory;
        figures[`paste${k}_core`] = p.core;
        await sampleHeap();
    }
    await page.fill('#Combo1_0', '1');
    await page.fill('#Combo2_0', '1');
    say('compare');
    const compare = await click('#Command1');
    figures.compare = compare.own;
    figures.compare_core = compare.core;
    await sampleHeap();
    // Again, as a user who compares once more does and as the native tool does: its memory is
    // then in use, and this is the engine's own time.
    const again = await click('#Command1');
    figures.compare_again = again.own;
    figures.compare_again_core = again.core;
    figures.sort_numbers = (await click('#ListView1 [role="columnheader"][aria-colindex="2"]')).own;
    await sampleHeap();

    // A scroll through the million records a frame at a time, fast as a flick of the wheel and
    // in jumps as a drag of the scroll box: the main thread's work for each frame, from the
    // scroll event to the end of the frame it drew.
    say('scroll');
    const frames = await page.evaluate(async () => {
        const scroller = document.querySelector('#ListView1 .grid-scroller');
        const times = [];
        let scrolledAt = 0;
        document.addEventListener('scroll', () => { scrolledAt = performance.now(); }, {capture: true});
        const steps = [];
        for (let i = 0; i < 120; ++i) steps.push(scroller.scrollTop + (i + 1) * 600);
        for (let i = 0; i < 60; ++i) steps.push(Math.floor(scroller.scrollHeight * ((i * 37) % 60) / 60));
        for (const top of steps) {
            scroller.scrollTop = top;
            scrolledAt = 0;
            const end = await window.benchAfterFrame();
            if (scrolledAt) times.push(end - scrolledAt);
        }
        return times;
    });
    figures.frame_max = Math.max(...frames);
    figures.frame_median = frames.sort((a, b) => a - b)[frames.length >> 1];
    figures.frames_over_16ms = frames.filter((t) => t > 16).length;

    // Each result copied: the page's work from the click until it hands the text over.
    const hashes = [];
    for (const [k, toolbar] of ['Toolbar3', 'Toolbar4', 'Toolbar5', 'Toolbar6'].entries()) {
        say(`copy ${k + 1}`);
        const copied = await page.evaluate(async (toolbar) => {
            const seen = window.benchSeen;
            seen.written = [];
            // The bench's bytes of the last copy's text are collected first, as its copy of a
            // list is before each paste.
            window.gc();
            const start = performance.now();
            document.querySelector(`#${toolbar} button`).click();
            while (seen.written.length === 0) await window.benchAfterFrame();
            const {at, text} = seen.written[0];
            seen.written = [];
            // The page's heap as it hands the text over, before the bench's own bytes of it
            // for the digest take as much again.
            const heap = window.benchMemory().heap;
            const digest = await crypto.subtle.digest('SHA-256', new TextEncoder().encode(text));
            return {own: at - start, heap, digest: [...new Uint8Array(digest)]};
        }, toolbar);
        hashes.push(Buffer.from(copied.digest).toString('hex'));
        figures[`copy${k + 1}`] = copied.own;
        heapPeak = Math.max(heapPeak, copied.heap);
    }
    figures.hashes = hashes;
    // The heap now holds the bench's bytes of the copies too: its samples came before them.
    const memory = await page.evaluate(() => window.benchMemory());
    figures.wasm_memory = memory.wasm;
    figures.js_heap_peak = heapPeak;
    // What of the heap is still in use: the clipboard's texts that were pasted are garbage by
    // now, kept until the collector runs.
    const cdp = await context.newCDPSession(page);
    await cdp.send('HeapProfiler.collectGarbage');
    await cdp.detach();
    figures.js_heap_live = await page.evaluate(() => window.benchMemory().heap);

    // A million distinct codes in List 1, sorted by a header click, and by the browser's own
    // collator in the same page.
    say('codes');
    const codes = await page.evaluate((count) => {
        let state = 12345;
        const random = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
        const numbers = Array.from({length: count}, (_, i) => i);
        for (let i = count - 1; i > 0; --i) {
            const j = Math.floor(random() * (i + 1));
            [numbers[i], numbers[j]] = [numbers[j], numbers[i]];
        }
        const letters = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ';
        window.benchCodes = numbers.map((n) => letters[Math.floor(random() * 26)] + letters[Math.floor(random() * 26)] +
                                               '-' + String(n).padStart(6, '0'));
        window.benchCodesText = window.benchCodes.join('\r\n');
        return window.benchCodes.length;
    }, kCodes);
    say('paste codes');
    await paste('Toolbar1', 'benchCodesText');
    figures.sort_codes = (await click('#ListView1 [role="columnheader"][aria-colindex="1"]')).own;
    say('sort codes');
    const sortedByPage = await page.evaluate(async () => {
        document.querySelector('#ListView1 .grid-scroller').scrollTop = 0;
        await window.benchAfterFrame();
        return document.querySelector('#ListView1 [aria-rowindex="2"] [aria-colindex="1"]').textContent;
    });
    say('Intl sort');
    const floor = await page.evaluate(() => {
        const codes = window.benchCodes.slice();
        const start = performance.now();
        codes.sort(new Intl.Collator('en', {sensitivity: 'accent'}).compare);
        const time = performance.now() - start;
        return {time, first: codes[0]};
    });
    figures.sort_codes_intl = floor.time;
    if (sortedByPage !== floor.first || codes !== kCodes) {
        errors.push(`the codes sort first ${sortedByPage}, the browser's collator ${floor.first}`);
    }
    figures.renderer_peak = stopPeak();
    await context.close();
    if (errors.length) throw new Error(errors.join('\n'));
    return figures;
}

const spread = (values) => {
    const v = [...values].sort((a, b) => a - b);
    const f = (x) => (x >= 100 ? x.toFixed(0) : x.toFixed(1));
    return `${f(v[0])} / ${f(v[(v.length - 1) >> 1])} / ${f(v[v.length - 1])}`;
};

const listBytes = statSync(list1).size + statSync(list2).size;
console.log(`== ${list1} and ${list2}: ${listBytes} bytes, ${runs} runs, page and native tool in turns`);
const pageRuns = [], nativeRuns = [];
for (let r = 0; r < runs; ++r) {
    nativeRuns.push(nativeRun());
    pageRuns.push(await pageRun());
    process.stdout.write('.');
}
process.stdout.write('\n');
await browser.close();
server.close();

const column = (rows, name) => rows.map((r) => r[name]);
const mb = (bytes) => bytes / 1048576;
const line = (label, values, unit = 'ms') => console.log(`  ${label.padEnd(34)} ${spread(values)} ${unit}`);
console.log('page (min / median / max):');
line('load to a usable window', column(pageRuns, 'load'));
line('  then the warm-up', column(pageRuns, 'warm_up'));
for (const k of [1, 2]) {
    line(`paste ${k}, own work`, column(pageRuns, `paste${k}`));
    line(`  the browser's hand-over before it`, column(pageRuns, `paste${k}_hand_over`));
    line(`  text into WebAssembly`, column(pageRuns, `paste${k}_into_memory`));
    line(`  the core's paste`, column(pageRuns, `paste${k}_core`));
}
line('Compare', column(pageRuns, 'compare'));
line('  the core\'s Compare', column(pageRuns, 'compare_core'));
line('Compare again', column(pageRuns, 'compare_again'));
line('  the core\'s Compare again', column(pageRuns, 'compare_again_core'));
line('sort by a column of numbers', column(pageRuns, 'sort_numbers'));
for (const k of [1, 2, 3, 4]) line(`copy ${k}, own work`, column(pageRuns, `copy${k}`));
line('scroll: longest frame', column(pageRuns, 'frame_max'));
line('scroll: median frame', column(pageRuns, 'frame_median'));
line('scroll: frames over 16 ms (of 180)', column(pageRuns, 'frames_over_16ms'), '');
line('sort by 1,000,000 distinct codes', column(pageRuns, 'sort_codes'));
line('  Array.prototype.sort, Intl.Collator', column(pageRuns, 'sort_codes_intl'));
const peak = pageRuns.map((r) => r.wasm_memory + r.js_heap_peak);
line('WebAssembly memory', column(pageRuns, 'wasm_memory').map(mb), 'MiB');
line('JS heap, highest seen', column(pageRuns, 'js_heap_peak').map(mb), 'MiB');
line('  both, as a multiple of the lists', peak.map((p) => p / listBytes), 'x');
line('JS heap after a collection', column(pageRuns, 'js_heap_live').map(mb), 'MiB');
line('  with WebAssembly memory, as a multiple', pageRuns.map((r) => (r.wasm_memory + r.js_heap_live) / listBytes), 'x');
line('renderer process, peak resident', column(pageRuns, 'renderer_peak').map(mb), 'MiB');
console.log('native tool (min / median / max):');
// The header sorts where the native tool times them too: List 1 by its codes, then by numbers.
for (const name of ['paste1', 'paste2', 'compare', 'compare_again', 'copy', 'sort', 'sort_numbers']) {
    if (nativeRuns[0][name] !== undefined) line(name, column(nativeRuns, name));
}
line('peak resident', column(nativeRuns, 'peak_rss').map(mb), 'MiB');
console.log('the page against the native tool, run by run:');
for (const [page, native] of [['paste1_core', 'paste1'], ['paste2_core', 'paste2'], ['compare_core', 'compare'],
                              ['compare_again_core', 'compare_again']]) {
    line(`${page} / ${native}`, pageRuns.map((r, i) => r[page] / nativeRuns[i][native]), 'x');
}
const same = pageRuns.every((r) => r.hashes.join() === nativeRuns[0].hashes.join());
console.log(`  the four copies are the native tool's result files byte for byte: ${same ? 'yes' : 'NO'}`);

// The site's files as a host sends them compressed; the single file is the same program again.
let gzip = 0, brotli = 0;
// Pictures the page's tests left there (.png) are none of the page's.
for (const name of readdirSync(pageDir).filter((n) => n !== 'sorvane.html' && !n.endsWith('.png'))) {
    const bytes = readFileSync(join(pageDir, name));
    gzip += gzipSync(bytes, {level: 9}).length;
    brotli += brotliCompressSync(bytes, {params: {[zlib.BROTLI_PARAM_QUALITY]: 11}}).length;
}
const single = readFileSync(join(pageDir, 'sorvane.html'));
console.log(`page's files compressed: ${(gzip / 1024).toFixed(0)} KiB gzip, ${(brotli / 1024).toFixed(0)} KiB brotli; ` +
            `sorvane.html ${(gzipSync(single, {level: 9}).length / 1024).toFixed(0)} KiB gzip`);
if (!same) process.exit(1);
