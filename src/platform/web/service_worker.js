"use strict";
// The page's files for use without a network: kept on the first visit in a cache named by this
// build's content, and served from there ever after. A new build is a new worker (its file list
// below differs); it keeps its files beside the old ones and takes over only once no page of the
// old build is open, so that one page never mixes the files of two builds.
const CACHE = "@CACHE_NAME@";
// Each file with its SHA-256: a file that changed on the server while this build's were fetched
// belongs to another build, and the install fails (the old build stays) rather than mix them.
const FILES = @KEPT_FILES@;

const hex = (buffer) => Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, "0"))
  .join("");

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await Promise.all(Object.entries(FILES).map(async ([file, sha256]) => {
      const response = await fetch(file, {cache: "no-cache"});
      const body = await response.clone().arrayBuffer();
      if (!response.ok || hex(await crypto.subtle.digest("SHA-256", body)) !== sha256) {
        throw new Error(file + " is not this build's");
      }
      await cache.put(file, response);
    }));
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith("drevanti-") && name !== CACHE) await caches.delete(name);
    }
  })());
});

// The page at any query (?seed=, ?autostart) is the one page, "./".
self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET") return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const kept = await cache.match(request.mode === "navigate" ? "./" : request,
                                   {ignoreSearch: true});
    return kept || fetch(request);
  })());
});
