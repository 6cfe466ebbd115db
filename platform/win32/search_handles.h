#pragma once
// The handles of FindFirstFile's kind, which the file searches and the
// device's storage-card searches hand out and FindClose ends alike; counted
// together while open.

#include "platform/storage.h"

// The search that a first-match call gave, counted; None for INVALID_HANDLE_VALUE.
SearchHandle countedSearch(SearchHandle found);

// Closes a counted search; None closes nothing.
void endCountedSearch(SearchHandle search);
