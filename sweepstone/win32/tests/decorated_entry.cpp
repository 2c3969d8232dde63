// A library whose entry point is exported only under the name that a 32-bit linker
// gives a __stdcall function when it is not told to drop the decoration
// ("_Decorated@12", spelt out in decorated_entry.def, so that the 64-bit build
// carries the same name), beside one exported under its plain name. The check of a
// log that calls "Decorated" must name the decorated export; nothing calls these.
extern "C" void Decorated(const char*, const char*, const char*) {}
extern "C" void Cleanup(const char*, const char*, const char*) {}
