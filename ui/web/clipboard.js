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

// Hands `text` to the core as UTF-16 in its memory; no room for it there is the core's
// out-of-memory report, and the page goes on.
function pasteText(engine, session, side, text) {
    const bytes = 2 * text.length + 2;
    const at = bytes <= 0xFFFFFFFF ? engine._malloc(bytes) : 0;
    if (!at) return session.paste(side, 0, text.length);
    try {
        engine.stringToUTF16(text, at, bytes);
        return session.paste(side, at, text.length);
    } finally {
        engine._free(at);
    }
}

// Copy records of list `id`.
export async function copyRecords(session, id, askRetry) {
    const made = session.copy(id);
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
