/* Identifiers of the plug-in's resources, shared by resources/kelvane.rc and the C++ code. */
#ifndef KELVANE_RESOURCE_IDS_H
#define KELVANE_RESOURCE_IDS_H

/* The plug-in property list ("PIPL") the host reads before loading the plug-in. */
#define KELVANE_PIPL_ID 16000

#endif
