// Built only so that a plug-in can be linked against it; never installed.
extern "C" __declspec(dllexport) int absent_valeur(void) { return 0; }
