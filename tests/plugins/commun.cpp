// A library that plug-ins depend on; it must be found beside them.
extern "C" __declspec(dllexport) int commun_valeur(void) { return 42; }
