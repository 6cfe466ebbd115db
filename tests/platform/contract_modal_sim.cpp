#include "tests/platform/contract_modal.h"

// The simulated box answers No and the simulated menu chooses nothing unless a
// test scripted otherwise.
void answerOpenMessageBoxNo() {}
void closeOpenPopupMenu() {}
