// The core's loader as the page gets it: emscripten's glue with the module inside it as base64,
// since a page opened from disk can fetch nothing, not even a data: address. Compiling starts as
// soon as this script runs, while the rest of the page is still being read, and every
// VelhornCore() instantiates that one compiled module.
import factory from './velhorn-core.js';
import text from './velhorn-core.wasm';

function decode(base64) {
  if (Uint8Array.fromBase64)
    return Uint8Array.fromBase64(base64);
  const binary = atob(base64);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++)
    bytes[i] = binary.charCodeAt(i);
  return bytes;
}

const compiled = WebAssembly.compile(decode(text));

window.VelhornCore = (options = {}) => compiled.then((module) => new Promise((resolve, reject) => {
  factory(Object.assign({}, options, {
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module), reject);
      return {};  // instantiating asynchronously
    },
  })).then(resolve, reject);
}));
