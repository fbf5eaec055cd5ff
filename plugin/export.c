/* Keeps the linker's attention on the entry point; the code lives in the core library. */
extern void FourDPack(int selector, void** params, unsigned* globalsSlot, void* result);
void (*const vrx_entry_anchor)(int, void**, unsigned*, void*) = FourDPack;
