/*
 * Exemple.DLL - un plug-in d'Orvane qui dit bonjour et donne l'heure.
 *
 * Copiez Exemple.DLL dans le dossier "plugins" à côté d'orvane.exe, relancez
 * Orvane : le menu "Plug-ins" montre "Exemple".
 */
#include <windows.h>

#include "orvane_plugin.h"

ORVANE_PLUGIN void __cdecl plugin(void)
{
    SYSTEMTIME now;
    WCHAR text[160];

    GetLocalTime(&now);
    wsprintfW(text, L"Bonjour ! Ce message vient du plug-in d'exemple.\r\nIl est %02u:%02u.",
              (unsigned)now.wHour, (unsigned)now.wMinute);
    /* La boîte a sa propre boucle de messages : l'horloge continue de
       tourner pendant qu'elle est ouverte. */
    MessageBoxW(NULL, text, L"Exemple de plug-in", MB_OK | MB_ICONINFORMATION);
}
