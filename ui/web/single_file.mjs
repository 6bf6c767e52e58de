// Makes sorvane.html, the page in one file that runs opened from disk, where a browser loads no
// module scripts: the page's modules in one inline module script after the core (its
// WebAssembly inside it), the style inline, the pictures as data URLs, and a
// Content-Security-Policy that allows exactly that script by its hash.
//
//   node single_file.mjs BUILT_PAGE_DIR SINGLE_FILE_CORE OUTPUT_HTML

import {createHash} from 'node:crypto';
import {readFileSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

const [page, core, output] = process.argv.slice(2);
const read = (name) => readFileSync(join(page, name), 'utf8');

// Each module without its imports and exports, in the order they are needed.
const modules = ['dialogs.js', 'clipboard.js', 'grid.js', 'combobox.js', 'window.js', 'main.js'];
const strip = (source) => source
    .replace(/^import [^;]+;\n/gm, '')
    .replace(/^export (default )?/gm, '');
const coreSource = readFileSync(core, 'utf8').replace(/^export default loadSorvane;?\s*$/m, '');
const script = [coreSource, ...modules.map((m) => strip(read(m)))].join('\n')
    .replaceAll('</script', '<\\/script');

const dataUrl = (name) => `data:image/svg+xml;base64,${readFileSync(join(page, name)).toString('base64')}`;
const hash = createHash('sha256').update(script).digest('base64');
const policy = `default-src 'none'; script-src 'sha256-${hash}' 'wasm-unsafe-eval'; ` +
    `style-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'`;

const html = `<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="${policy}">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Sorvane</title>
<style>
${read('style.css')}</style>
</head>
<body>
<main id="Principal" hidden data-picture1="${dataUrl('paste.svg')}" data-picture2="${dataUrl('copy.svg')}"></main>
<noscript>Sorvane needs JavaScript and WebAssembly.</noscript>
<script type="module">${script}</script>
</body>
</html>
`;
writeFileSync(output, html);
