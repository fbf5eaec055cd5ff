/* A host written in C: loads the installed plug-in, initialises it, encodes a text in
 * Base64 with VRX_EncodeBase64 and prints the result.
 *
 *   cc c_host.c $(pkg-config --cflags --libs vrx) -o c_host
 *   ./c_host "$(pkg-config --variable=plugindir vrx)/libvrx.so" "Hello, 4D"
 *
 * Start here to embed VRX in another program: this is everything a host must do for
 * commands that do not wait. A host that runs several processes also answers the delay
 * and yield calls by switching between them (see VRX_HOST_DELAY_PROCESS).
 */
#define _POSIX_C_SOURCE 200809L /* nanosleep */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <vrx/fourdpack.h>

/* The plug-in's calls back into the host. This host runs one process and keeps no
 * handles for the plug-in, so a delay just sleeps and the handle calls are refused. */
static void HostEntry(int32_t call, VrxHostCallBlock* block) {
  int16_t result = 0;
  int32_t value;
  switch (call) {
    case VRX_HOST_CURRENT_PROCESS:
      value = 1;
      memcpy(block->bytes + VRX_HOST_CALL_PROCESS, &value, sizeof value);
      break;
    case VRX_HOST_DELAY_PROCESS: {
      memcpy(&value, block->bytes + VRX_HOST_CALL_TICKS, sizeof value);
      struct timespec t = {value / 60, (long)(value % 60) * 1000000000L / 60};
      if (value > 0) nanosleep(&t, NULL);
      break;
    }
    case VRX_HOST_YIELD: break;
    default: result = -1; break;
  }
  memcpy(block->bytes + VRX_HOST_CALL_RESULT, &result, sizeof result);
}

int main(int argc, char** argv) {
  const char* plugin = argc > 1 ? argv[1] : "libvrx.so";
  const char* text = argc > 2 ? argv[2] : "Hello from a host written in C";

  void* library = dlopen(plugin, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    fprintf(stderr, "c_host: %s\n", dlerror());
    return 1;
  }
  VrxFourDPackFn entry;
  *(void**)&entry = dlsym(library, VRX_ENTRY_POINT); /* POSIX's way to a function pointer */
  if (!entry) {
    fprintf(stderr, "c_host: no %s in %s\n", VRX_ENTRY_POINT, plugin);
    dlclose(library);
    return 1;
  }

  /* Initialise: the callback goes in its slot; the plug-in answers with its globals. */
  void* params[VRX_PARAM_SLOTS] = {0};
  VrxHostEntryFn callback = HostEntry;
  memcpy(&params[VRX_HOST_ENTRY_SLOT], &callback, sizeof callback);
  uint32_t globals = 0;
  _Alignas(void*) uint8_t area[16] = {0};
  entry(VRX_SELECTOR_INIT, params, &globals, area);
  if (!globals) {
    fprintf(stderr, "c_host: the plug-in could not initialise\n");
    dlclose(library);
    return 1;
  }

  /* VRX_EncodeBase64($1: text; $2: 1 = pad) -> text */
  size_t length = strlen(text);
  if (length > VRX_MAX_TEXT_LENGTH) length = VRX_MAX_TEXT_LENGTH;
  VrxTextValue in = {(int16_t)length, vrx_NewHandle((int32_t)length)};
  if (!in.handle) {
    fprintf(stderr, "c_host: out of memory\n");
    return 1;
  }
  if (length) memcpy(vrx_HandleAddress(in.handle), text, length);
  int32_t pad = 1;
  void* call[VRX_PARAM_SLOTS] = {&in, &pad};
  VrxTextValue out = {0, 0};
  VrxTextValue* outAddress = &out;
  memcpy(area, &outAddress, sizeof outAddress);
  entry(VRX_EncodeBase64, call, &globals, area);

  int status = 0;
  if (out.handle && out.length >= 0 && out.length <= vrx_HandleSize(out.handle)) {
    printf("%.*s\n", (int)out.length, (const char*)vrx_HandleAddress(out.handle));
  } else {
    fprintf(stderr, "c_host: VRX_EncodeBase64 gave no text\n");
    status = 1;
  }
  vrx_DisposeHandle(in.handle);
  vrx_DisposeHandle(out.handle);

  /* Shut down; the global block is then the host's to dispose of. */
  entry(VRX_SELECTOR_SHUTDOWN, params, &globals, area);
  vrx_DisposeHandle(globals);
  dlclose(library);
  return status;
}
