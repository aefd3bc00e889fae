#pragma once
// The module's registration scripts: custom resources of type REGSCRIPT,
// UTF-8 text in the format RegistryScript.h describes.

#define IDR_REGSCRIPT_APP 301
#define IDR_REGSCRIPT_GADGET 302
#define IDR_REGSCRIPT_PROPPAGE 303
