#pragma once

#include <windows.h>

// The program's own module; message strings fall back to its string table.
extern HMODULE ProgramInstance;
// Where dialog templates, the dialog icon and message strings come from: the
// language library while it is loaded, else the program itself.
extern HMODULE ResourceModule;

// The module that holds the resource `name` of `type`: ResourceModule when
// it has it, else the program itself, so that a language library without one
// of the dialogs or the icon still gets the program's own.
HMODULE ModuleHolding(const char* name, const char* type);

// The optional resource library "voklng.dll" with translated resources.
namespace LanguageLibrary {

extern bool loaded;

// Loads "voklng.dll" from the folder of `path` (any file in that folder), or
// from the program's folder when `path` is null. A missing library is no
// error: the program's resources are used.
void Load(HMODULE ownInstance, const char* path);
// Safe to call any number of times; an exit handler calls it once more.
void Unload();

}  // namespace LanguageLibrary
