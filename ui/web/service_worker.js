// Keeps the page's own files, so that it opens and works offline once it has been opened: each
// request for one of them is answered from the cache, and nothing else is ever fetched.
const kCache = 'sorvane-v2';
const kFiles = ['./', 'index.html', 'style.css', 'main.js', 'window.js', 'grid.js', 'dialogs.js',
                'clipboard.js', 'combobox.js', 'sorvane.mjs', 'sorvane.wasm', 'paste.svg', 'copy.svg',
                'org.sorvane.Sorvane.svg', 'manifest.webmanifest'];

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys().then((names) =>
        Promise.all(names.filter((n) => n !== kCache).map((n) => caches.delete(n)))));
});

self.addEventListener('fetch', (event) => {
    event.respondWith(caches.match(event.request, {ignoreSearch: true})
        .then((cached) => cached ?? fetch(event.request)));
});
