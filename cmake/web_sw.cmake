# Writes the service worker of the site in SITE from TEMPLATE (cmake -P): the list of the files it
# keeps (every file of the site, and the site's folder itself, which serves the page) and a version
# made of their contents, so that a change to any file makes a new service worker.
file(GLOB names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(digests "")
set(FILES "\"./\"")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND FILES ", \"${name}\"")
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
