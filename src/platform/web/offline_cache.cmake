# Writes the page's service worker (sw.js in WEB) from its template: the files it keeps, each with
# its SHA-256, and its cache's name, drawn from those: a build of other content is another cache.
#   cmake -DWEB=dir -DTEMPLATE=service_worker.js -DFILES="index.html;drevanti.js;..." -P this
set(listed "")
set(hashes "")
foreach(file IN LISTS FILES)
  file(SHA256 ${WEB}/${file} sha256)
  # The page is asked for by its folder's URL.
  if(file STREQUAL "index.html")
    set(file "./")
  endif()
  string(APPEND listed "\n  \"${file}\": \"${sha256}\",")
  string(APPEND hashes "${sha256}")
endforeach()
string(REGEX REPLACE ",$" "\n}" KEPT_FILES "{${listed}")
string(SHA256 build "${hashes}")
string(SUBSTRING "${build}" 0 16 build)
set(CACHE_NAME "drevanti-${build}")
file(READ ${TEMPLATE} template)
file(CONFIGURE OUTPUT ${WEB}/sw.js CONTENT "${template}" @ONLY)
