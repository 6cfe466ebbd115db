#pragma once
// What the information dialogs show, written into their value fields.

// Processor dialog: the identity fields, once at creation.
void fillProcessorIdentity();

// Memory and System dialogs: every field, once at creation.
void fillMemoryDialog();
void fillSystemDialog();
