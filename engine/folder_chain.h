// Creation of the install folder and every folder above it.
#ifndef KESTROVA_ENGINE_FOLDER_CHAIN_H
#define KESTROVA_ENGINE_FOLDER_CHAIN_H

#include "engine/paths.h"

// Asks the system for each folder of `path` from the drive down (the order of
// FolderChainLengths), and finally for the whole path.  The outcome of each
// request is ignored: a folder that exists already, or cannot be made, shows
// up later when a file cannot be created in it.  Returns 1 once the requests
// are made, 0 without making any when the path is refused: longer than 259
// characters, or not starting with a drive letter, a colon and a backslash.
int CreateFolderChain(const char* path, LeadBytePredicate isLead);

#endif  // KESTROVA_ENGINE_FOLDER_CHAIN_H
