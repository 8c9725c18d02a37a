// Keeps the whole site, a few files, so the page works with no network after its first load.
const kCache = 'zentrovax-@PROJECT_VERSION@';
const kFiles = ['./', 'index.html', 'zentrovax.css', 'zentrovax.js', 'zentrovax.wasm',
                'manifest.webmanifest', @ZENTROVAX_WEB_ICONS@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)));
  self.skipWaiting();
});

// Old versions' caches would otherwise stay for ever.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
      .then((keys) => Promise.all(keys.filter((k) => k !== kCache).map((k) => caches.delete(k))))
      .then(() => self.clients.claim()));
});

// The network first, so that a new build is seen at once; the cache when there is no network.
self.addEventListener('fetch', (event) => {
  event.respondWith(fetch(event.request)
      .then((response) => {
        if (response.ok && event.request.method === 'GET') {
          const copy = response.clone();
          caches.open(kCache).then((cache) => cache.put(event.request, copy));
        }
        return response;
      })
      .catch(() => caches.match(event.request, {ignoreSearch: true})));
});
