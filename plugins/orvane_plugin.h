/*
 * orvane_plugin.h - le contrat d'un plug-in d'Orvane.
 *
 * Un plug-in est une bibliothèque dynamique (DLL) posée dans le dossier
 * "plugins" à côté d'orvane.exe, avec un nom en ".DLL". Elle exporte une seule
 * procédure, nommée exactement "plugin", sans paramètre ni résultat. Orvane
 * l'appelle sur son fil d'interface et attend qu'elle rende la main.
 *
 * Pour l'écrire :
 *
 *     #include "orvane_plugin.h"
 *
 *     ORVANE_PLUGIN void __cdecl plugin(void)
 *     {
 *         ... votre code ...
 *     }
 *
 * La version 32 bits d'Orvane charge des plug-ins 32 bits, la version 64 bits
 * des plug-ins 64 bits.
 */
#ifndef ORVANE_PLUGIN_H
#define ORVANE_PLUGIN_H

/* Le nom exact de l'export que cherche Orvane. */
#define ORVANE_PLUGIN_ENTRY_NAME "plugin"

/*
 * Exporte la procédure sous son nom sans décoration. En 32 bits, la
 * convention cdecl donne l'export "plugin" ; stdcall donnerait "_plugin@0"
 * (ou "plugin@0" avec MinGW), qu'Orvane ne trouverait pas. Sans paramètre,
 * les deux conventions s'appellent de la même façon : seul le nom compte.
 */
#ifdef __cplusplus
#define ORVANE_PLUGIN extern "C" __declspec(dllexport)
#else
#define ORVANE_PLUGIN __declspec(dllexport)
#endif

/* Le point d'entrée, déclaré ici pour que le compilateur vérifie sa forme. */
ORVANE_PLUGIN void __cdecl plugin(void);

#endif /* ORVANE_PLUGIN_H */
