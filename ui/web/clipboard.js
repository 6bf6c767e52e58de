// The browser's clipboard under the core's commands. The browser answers later while a command
// runs to its end at once, so the text is read first and then handed to the command, and a
// copy's text is written once the command has made it. A failure shows the core's error report;
// Retry tries the browser again, Cancel leaves everything as it was.

// The browser's own words for why it would not read or write.
function describe(error) {
    if (error && error.name && error.message) return `${error.name}: ${error.message}`;
    return String(error);
}

// The text of the clipboard, or {error} with the browser's words.
async function readClipboard(given) {
    if (given !== undefined) return {text: given};
    try {
        if (!navigator.clipboard || !navigator.clipboard.readText) {
            throw new Error('This browser does not let a page read the clipboard');
        }
        return {text: await navigator.clipboard.readText()};
    } catch (error) {
        return {error: describe(error)};
    }
}

// Paste records into `side`, from `given` text (a paste event's) or from the clipboard.
// `askRetry(report)` shows the error report and resolves true for Retry.
export async function pasteRecords(engine, session, side, askRetry, given) {
    for (;;) {
        const read = await readClipboard(given);
        given = undefined;  // Retry asks the clipboard itself
        const report = read.error !== undefined ? session.pasteFailed(side, read.error)
                                                : pasteText(engine, session, side, read.text);
        if (!report || !(await askRetry(report))) return;
    }
}

// Hands `text` to the core as UTF-8 written straight into its memory: no room for it there is
// the core's out-of-memory report, and the page goes on. Both steps show in the browser's
// performance timeline.
export function pasteText(engine, session, side, text) {
    const length = measured('text into WebAssembly', () => textIntoMemory(engine, session, text));
    return measured('paste', () => session.paste(side, length));
}

// Runs `work`, and marks its time as `name` in the browser's performance timeline, where the
// browser's developer tools and the bench read it.
export function measured(name, work) {
    const start = performance.now();
    try {
        return work();
    } finally {
        performance.measure(`Sorvane: ${name}`, {start});
    }
}

const encoder = new TextEncoder();

// Writes `text` as UTF-8 into room the core makes for it (an unpaired surrogate becomes
// U+FFFD, as the core reads UTF-16); returns its length in bytes. Clipboard text is nearly
// always ASCII, a byte a unit, so the room starts at that; text beyond it is measured, and the
// room made to fit, only where it is not.
function textIntoMemory(engine, session, text) {
    let room = text.length;
    let at = session.makeRoom(room, 0);
    if (!at) return 0;
    let {read, written} = encoder.encodeInto(text, engine.HEAPU8.subarray(at, at + room));
    if (read < text.length) {
        const rest = text.substring(read);
        room = written + utf8Length(rest);
        at = room <= 0xFFFFFFFF ? session.makeRoom(room, written) : 0;
        if (!at) return 0;
        written += encoder.encodeInto(rest, engine.HEAPU8.subarray(at + written, at + room)).written;
    }
    return written;
}

// The bytes of `text` in UTF-8, an unpaired surrogate counted as the three of U+FFFD.
function utf8Length(text) {
    let bytes = 0;
    for (let i = 0; i < text.length; ++i) {
        const c = text.charCodeAt(i);
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (c >= 0xD800 && c < 0xDC00 && (text.charCodeAt(i + 1) & 0xFC00) === 0xDC00) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

// Copy records of list `id`.
export async function copyRecords(session, id, askRetry) {
    const made = measured('copy', () => session.copy(id));
    if (made.report) {
        if (await askRetry(made.report)) return copyRecords(session, id, askRetry);
        return;
    }
    if (made.text === null) return;  // an empty list puts nothing on the clipboard
    for (;;) {
        try {
            await navigator.clipboard.writeText(made.text);
            return;
        } catch (error) {
            const report = session.copyFailed(id, describe(error));
            if (!(await askRetry(report))) return;
        }
    }
}
