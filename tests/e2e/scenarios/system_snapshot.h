// What an installation can leave on the system, as sorted lines: every
// file and folder on drive C: (a folder's name ends in '\') and every key
// and value below the three parents of the product's records.
#pragma once

#include <string>
#include <vector>

typedef std::vector<std::string> Snapshot;

Snapshot TakeSnapshot();
// Logs every line that only one of the two has; returns how many.
int CompareSnapshots(const Snapshot& before, const Snapshot& after);
